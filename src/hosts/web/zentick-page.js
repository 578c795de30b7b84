// SPDX-License-Identifier: MIT
// The Zentick page: loads the WebAssembly simulator, runs its clock only while
// something is due, and connects it to the keyboard, the on-screen buttons,
// taps on the picture, gamepads, the canvas and Web Audio.
'use strict';

(function () {
  // The keys that are no character, by their SDL 1.2 numbers, through which
  // the module's keyboard table (the desktop's) names what a key presses.
  const KEY_NUMBERS = {
    Backspace: 8, Enter: 13, Escape: 27, ArrowUp: 273, ArrowDown: 274, ArrowRight: 275,
    ArrowLeft: 276,
  };
  // A standard gamepad's buttons as RetroPad bits: B, A, Y, X, L, R, L2, R2,
  // Select, Start, then the D-pad.
  const PAD_BITS = [0, 8, 1, 9, 10, 11, 12, 13, 2, 3, -1, -1, 4, 5, 6, 7];
  const PAD_UP = 1 << 4, PAD_DOWN = 1 << 5, PAD_LEFT = 1 << 6, PAD_RIGHT = 1 << 7;
  // A stall (a slow device, the debugger) is not caught up beyond this.
  const MAX_STEP_MS = 250;
  // Below this the page keeps its frame loop instead of setting a timer.
  const SLEEP_MIN_MS = 40;
  // Sound is queued this far ahead of the audio clock; further ahead than the
  // limit, the frame clock has outrun the audio clock and sound is dropped.
  const AUDIO_LEAD_S = 0.05;
  const AUDIO_MAX_LEAD_S = 0.1;
  const CLICK_PRESS_MS = 100;  // how long a keyboard or click() press holds a button
  const STORE = 'zentick.';

  const app = document.getElementById('app');
  const canvas = document.getElementById('screen');
  const area = document.getElementById('screen-area');
  const statusBox = document.getElementById('status');
  const statusText = document.getElementById('status-text');
  const progress = document.getElementById('progress');
  const hint = document.getElementById('hint');
  const soundButton = document.getElementById('sound');
  const vibrateButton = document.getElementById('vibrate');
  const responseButton = document.getElementById('response');
  const note = document.getElementById('note');
  const fullscreenButton = document.getElementById('fullscreen');
  const ctx = canvas.getContext('2d', { alpha: false });
  // The screen's size: the canvas's until the module tells its own.
  let W = canvas.width;
  let H = canvas.height;

  let M = null;          // the emscripten module once it runs
  let api = null;        // its functions
  let running = false;   // stops for good on an error
  let rafId = null;
  let timerId = null;
  let last = 0;          // page time the simulator's clock stands at
  let carry = 0;         // fraction of a millisecond not yet run
  let asleep = false;    // nothing was due: the time slept is not run
  let sleepLimit = MAX_STEP_MS;
  let audible = false;   // the last sound mixed was not silence
  let audio = null;      // the AudioContext, made on the first gesture
  let audioTime = 0;     // where the next sound buffer starts
  let audioOwed = 0;     // fraction of a sample not yet mixed
  let padBits = 0;
  let padsSeen = false;
  let changed = false;   // input since the settings were last remembered
  let wakeLock = null;

  function load(name, fallback) {
    try {
      const v = localStorage.getItem(STORE + name);
      return v === null ? fallback : v;
    } catch (e) {
      return fallback;  // storage switched off: nothing is remembered
    }
  }
  function save(name, value) {
    try { localStorage.setItem(STORE + name, String(value)); } catch (e) { /* as above */ }
  }
  let soundOn = load('sound', '1') === '1';
  let vibrateOn = load('vibrate', '1') === '1';

  // What the tests (and the curious) can read; times count from the page's load.
  const stats = { firstFrameMs: null, uploads: 0, soundBuffers: 0, ticks: 0, simMs: 0,
                  maxLeadMs: 0, error: null };
  window.zentick = {
    stats,
    inGame: () => (api ? api.inGame() === 1 : false),
    game: () => (api ? api.game() : ''),
    zoom: () => (api ? api.zoomLevel() : 0),
    volume: () => (api ? api.volume() : 0),
    watch: () => (api ? api.watch() : ''),
    response: () => (api ? api.response() : 0),
    audioState: () => (audio ? audio.state : 'none'),
    looping: () => rafId !== null,
  };

  function showStatus(text, isError) {
    statusText.textContent = text;
    statusBox.classList.toggle('error', !!isError);
    if (isError) progress.hidden = true;
    statusBox.hidden = false;
  }

  function stopLoop() {
    if (rafId !== null) cancelAnimationFrame(rafId);
    if (timerId !== null) clearTimeout(timerId);
    rafId = timerId = null;
  }

  function fail(text) {
    if (stats.error) return;
    stats.error = text;
    running = false;
    stopLoop();
    showStatus(text, true);
  }

  function describe(error) {
    const text = String(error && error.message ? error.message : error);
    if (/zentick\.pack/.test(text))
      return 'The game data (zentick.pack) could not be loaded from the server. ' +
             'Check that it was copied beside this page. (' + text + ')';
    if (/zentick\.(wasm|js)/.test(text))
      return 'The simulator could not be loaded from the server. (' + text + ')';
    return 'Zentick stopped because of an error: ' + text;
  }

  window.addEventListener('error', (e) => fail(describe(e.error || e.message)));
  window.addEventListener('unhandledrejection', (e) => fail(describe(e.reason)));

  // ---- Layout: the arrangement of the buttons that leaves the screen the
  // most room, then the screen as large as it fits.

  function layOut(kind) {
    app.className = kind;
    if (kind === 'sides') {
      // Columns just wide enough for the screen at full height, within limits.
      const style = getComputedStyle(app);
      const inner = (a, b) => parseFloat(style[a]) + parseFloat(style[b]);
      const gap = parseFloat(style.columnGap) || 0;
      const height = app.clientHeight - inner('paddingTop', 'paddingBottom');
      const width = app.clientWidth - inner('paddingLeft', 'paddingRight');
      const side = Math.max(36, Math.min(220, (width - 2 * gap - (height * W) / H) / 2));
      app.style.setProperty('--side', Math.floor(side) + 'px');
    }
    const usable = [...app.querySelectorAll('button')].every((b) => {
      const r = b.getBoundingClientRect();
      return r.width >= 34 && r.height >= 28;
    });
    return { kind, usable, scale: Math.min(area.clientWidth / W, area.clientHeight / H) };
  }

  function fit() {
    let best = null;
    for (const kind of ['below', 'row', 'sides']) {
      const r = layOut(kind);
      if (!best || (r.usable && (!best.usable || r.scale > best.scale))) best = r;
    }
    if (app.className !== best.kind) layOut(best.kind);
    const dpr = window.devicePixelRatio || 1;
    const full = Math.min(area.clientWidth / W, area.clientHeight / H);
    const binding = Math.min(innerWidth / W, innerHeight / H);
    // Whole device pixels when that is nearly as large: every frame pixel
    // then covers the same number of device pixels.
    const whole = Math.floor(full * dpr) / dpr;
    const exact = whole > 0 && whole >= full * 0.94 && whole >= binding * 0.9;
    const scale = exact ? whole : full;
    // Uneven pixels differ by one device pixel in a few: invisible at a ratio
    // of 2 or more, where sharp edges look best; below that a smooth filter.
    canvas.classList.toggle('sharp', exact || dpr >= 2);
    const cw = W * scale, ch = H * scale;
    const snap = (v) => Math.round(v * dpr) / dpr;
    Object.assign(canvas.style, {
      display: 'block', width: cw + 'px', height: ch + 'px',
      left: snap((area.clientWidth - cw) / 2) + 'px', top: snap((area.clientHeight - ch) / 2) + 'px',
    });
  }
  new ResizeObserver(fit).observe(document.documentElement);
  window.addEventListener('resize', fit);
  fit();

  // ---- Sound: browsers allow it only after a gesture, so the context is
  // made on the first key or tap; the page stays muted until then.

  function showHint() {
    hint.hidden = !running || !soundOn || (audio !== null && audio.state === 'running');
  }

  function unlockAudio() {
    if (!soundOn) return;
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    if (!audio) {
      audio = new Context();
      audio.onstatechange = showHint;
    }
    if (audio.state !== 'running') audio.resume().catch(() => {});
    showHint();
  }
  // Only events that count as a user activation, so that no refusal is logged.
  window.addEventListener('keydown', (e) => { if (e.key !== 'Escape') unlockAudio(); }, true);
  for (const type of ['mousedown', 'pointerup', 'touchend', 'click'])
    window.addEventListener(type, unlockAudio, true);

  function setToggle(button, on) { button.setAttribute('aria-pressed', on ? 'true' : 'false'); }
  setToggle(soundButton, soundOn);
  setToggle(vibrateButton, vibrateOn);
  soundButton.addEventListener('click', () => {
    soundOn = !soundOn;
    save('sound', soundOn ? 1 : 0);
    setToggle(soundButton, soundOn);
    if (soundOn) unlockAudio();
    showHint();
  });
  vibrateButton.addEventListener('click', () => {
    vibrateOn = !vibrateOn;
    save('vibrate', vibrateOn ? 1 : 0);
    setToggle(vibrateButton, vibrateOn);
  });

  // The LCD's segment response: each press the next level, named over the
  // screen for a moment (the button keeps its size).
  let noteTimer = null;
  function showResponse(told) {
    const level = api.response(), name = api.responseName(level);
    setToggle(responseButton, level !== 0);
    responseButton.setAttribute('aria-label', 'LCD response: ' + name);
    if (!told) return;
    note.firstElementChild.textContent = 'LCD response: ' + name;
    note.hidden = false;
    clearTimeout(noteTimer);
    noteTimer = setTimeout(() => { note.hidden = true; }, 1500);
  }
  responseButton.addEventListener('click', () => {
    if (!running) return;
    const next = api.responseName(api.response() + 1) ? api.response() + 1 : 0;
    input(() => api.responseSet(next));
    save('response', next);
    showResponse(true);
  });

  // Always mixed, so that sounds end on time while muted; queued when audible.
  function pullAudio(ms) {
    const rate = api.audioRate();
    audioOwed += (ms * rate) / 1000;
    const n = Math.floor(audioOwed);
    audioOwed -= n;
    if (n <= 0) return;
    const ptr = api.audio(n);
    if (!ptr) return;
    const pcm = new Int16Array(M.HEAPU8.buffer, ptr, n);
    let silent = true;
    for (let i = 0; i < n && silent; i++) silent = pcm[i] === 0;
    audible = !silent;
    if (silent || !soundOn || !audio || audio.state !== 'running') return;
    const now = audio.currentTime;
    let lead = audioTime - now;
    // Behind the audio clock (a gap, the start): begin again at the lead.
    if (lead < 0.005) audioTime = now + AUDIO_LEAD_S, lead = AUDIO_LEAD_S;
    // The frame clock outran the audio clock (or a stall is caught up): what
    // goes past the limit is dropped, so the lead shrinks back instead of
    // growing into a lag.
    const count = Math.min(n, Math.floor((AUDIO_MAX_LEAD_S - 0.002 - lead) * rate));
    if (count <= 0) return;
    const buffer = audio.createBuffer(1, count, rate);
    const out = buffer.getChannelData(0);
    for (let i = 0; i < count; i++) out[i] = pcm[i] / 32768;
    const source = audio.createBufferSource();
    source.buffer = buffer;
    // Small drifts are corrected by playing a little faster or slower.
    source.playbackRate.value = 1 + Math.max(-0.01, Math.min(0.01, (lead - AUDIO_LEAD_S) * 0.2));
    source.connect(audio.destination);
    source.start(audioTime);
    audioTime += count / rate / source.playbackRate.value;
    stats.soundBuffers++;
    stats.maxLeadMs = Math.max(stats.maxLeadMs, (audioTime - now) * 1000);
  }

  // ---- The clock: the simulator runs as far as the page's time; the page
  // sleeps while nothing is due.

  // The canvas is written only when the simulator presented a new frame.
  function draw() {
    const ptr = api.frame();
    if (!ptr) return;
    const pixels = new Uint8ClampedArray(M.HEAPU8.buffer, ptr, W * H * 4);
    ctx.putImageData(new ImageData(pixels, W, H), 0, 0);
    stats.uploads++;
    if (stats.firstFrameMs === null) {
      stats.firstFrameMs = performance.now();
      statusBox.hidden = true;
      showHint();
    }
  }

  // The watch follows the browser's clock, which knows the zone's summer
  // time and runs past 2038, as the module's C library does not.
  function handTime() {
    const d = new Date();
    api.time(d.getFullYear(), d.getMonth() + 1, d.getDate(), d.getHours(), d.getMinutes(),
             d.getSeconds());
  }

  // Runs the simulator's clock on; false when it stopped on an error.
  function run(ms) {
    stats.simMs += ms;
    handTime();
    if (api.run(ms) !== 0) {
      fail('Zentick stopped because of an error: ' + api.error());
      return false;
    }
    pullAudio(ms);
    return true;
  }

  function catchUp(now) {
    if (asleep) {
      // Nothing was due: the simulator stood still; the watch is put back on
      // the wall clock in case it is about to show.
      asleep = false;
      last = now;
      carry = 0;
      handTime();
      api.reanchor();
      return true;
    }
    let elapsed = Math.min(now - last, sleepLimit) + carry;
    sleepLimit = MAX_STEP_MS;
    if (now > last) last = now;
    if (elapsed <= 0) return true;
    const ms = Math.floor(elapsed);
    carry = elapsed - ms;
    return ms > 0 ? run(ms) : true;
  }

  function tick(now) {
    rafId = null;
    stats.ticks++;
    if (!running || !catchUp(now)) return;
    pollPads();
    draw();
    if (changed) remember();
    schedule();
  }

  // The next frame, a timer, or nothing until the next input.
  function schedule() {
    if (!running || document.hidden || rafId !== null) return;
    if (timerId !== null) clearTimeout(timerId);
    timerId = null;
    const due = api.dueMs();
    if (padsSeen || audible || (due >= 0 && due < SLEEP_MIN_MS)) {
      rafId = requestAnimationFrame(tick);
    } else if (due >= 0) {
      sleepLimit = due + MAX_STEP_MS;
      timerId = setTimeout(() => { timerId = null; rafId = requestAnimationFrame(tick); },
                           due - SLEEP_MIN_MS / 2);
    } else {
      asleep = true;
    }
  }

  // Input: the clock is brought up to now first, so that the press lands at
  // the right moment, then the loop wakes.
  function input(action) {
    if (!running || !catchUp(performance.now())) return;
    action();
    changed = true;
    schedule();
  }

  // ---- Remembered settings, the screen kept awake.

  function remember() {
    changed = false;
    const game = api.game();
    if (game) save('game', game);
    save('zoom', api.zoomLevel());
    save('volume', api.volume());
    keepAwake();
  }

  function keepAwake() {
    const want = running && !document.hidden && api.inGame() === 1;
    if (want && wakeLock === null && navigator.wakeLock) {
      wakeLock = 'asked';
      navigator.wakeLock.request('screen').then((lock) => {
        wakeLock = lock;
        lock.addEventListener('release', () => { wakeLock = null; });
      }).catch(() => { wakeLock = null; });
    } else if (!want && wakeLock && wakeLock !== 'asked') {
      wakeLock.release().catch(() => {});
      wakeLock = null;
    }
  }

  // A hidden tab does nothing at all; back again, the game goes on from where
  // it stopped and the watch shows the wall clock's time.
  document.addEventListener('visibilitychange', () => {
    if (!running) return;
    if (document.hidden) {
      stopLoop();
      remember();
    } else {
      last = performance.now();
      carry = 0;
      asleep = false;
      handTime();
      api.reanchor();
      keepAwake();
      rafId = requestAnimationFrame(tick);
    }
  });
  window.addEventListener('pagehide', () => { if (running) remember(); });

  // ---- Keyboard.

  function fullscreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else if (document.fullscreenEnabled)
      document.documentElement.requestFullscreen({ navigationUI: 'hide' }).catch(() => {});
  }
  fullscreenButton.addEventListener('click', fullscreen);
  fullscreenButton.disabled = !document.fullscreenEnabled;
  document.addEventListener('fullscreenchange', fit);

  // A key as the desktop's SDL sees it: digits and letters by their place (so
  // that Shift does not matter), "+", "=" and "-" by the character; the keypad
  // is none of the desktop's keys.
  function keyOf(e) {
    const code = e.code || '';
    if (!api || code.startsWith('Numpad')) return undefined;
    const place = /^(?:Digit|Key)([0-9A-Z])$/.exec(code);
    const number = place ? place[1].toLowerCase().charCodeAt(0)
      : code in KEY_NUMBERS ? KEY_NUMBERS[code]
      : e.key && e.key.length === 1 ? e.key.charCodeAt(0) : -1;
    return api.boardKey(number) || undefined;
  }

  const held = new Set();  // keyboard keys down now
  for (const type of ['keydown', 'keyup']) {
    window.addEventListener(type, (e) => {
      if (e.ctrlKey || e.metaKey || e.altKey) return;  // leave the browser's shortcuts alone
      // A focused button takes Space and Enter itself (as a click).
      if (e.target.closest && e.target.closest('button') && (e.key === 'Enter' || e.key === ' '))
        return;
      if (e.code === 'KeyF') {
        if (type === 'keydown' && !e.repeat) fullscreen();
        return;
      }
      const key = keyOf(e);
      if (key === undefined) return;
      e.preventDefault();
      if (e.repeat) return;  // no key repeat, as on the desktop
      if (type === 'keydown') held.add(key);
      else held.delete(key);
      input(() => api.key(key, type === 'keydown' ? 1 : 0));
    });
  }
  // Keys let go while another window had the focus would stay down.
  window.addEventListener('blur', () => {
    for (const key of held) input(() => api.key(key, 0));
    held.clear();
  });

  // ---- On-screen buttons: held while a finger or the mouse is on them
  // (several at once), pressed briefly by the keyboard or click().

  function buzz() {
    if (vibrateOn && navigator.vibrate) navigator.vibrate(12);
  }

  for (const button of document.querySelectorAll('button[data-button]')) {
    const name = button.dataset.button;
    const pointers = new Set();
    const release = (e) => {
      if (!pointers.delete(e.pointerId) || pointers.size > 0) return;
      button.classList.remove('pressed');
      input(() => api.button(name, 0));
    };
    button.addEventListener('pointerdown', (e) => {
      e.preventDefault();
      button.setPointerCapture(e.pointerId);
      pointers.add(e.pointerId);
      if (pointers.size > 1) return;
      button.classList.add('pressed');
      buzz();
      input(() => api.button(name, 1));
    });
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
      button.addEventListener(type, release);
    button.addEventListener('click', (e) => {
      if (e.detail !== 0 || pointers.size > 0) return;  // a pointer's press was handled above
      input(() => api.button(name, 1));
      setTimeout(() => input(() => api.button(name, 0)), CLICK_PRESS_MS);
    });
  }
  for (const button of document.querySelectorAll('button[data-zoom]'))
    button.addEventListener('click', () => input(() => api.zoom(1)));
  document.addEventListener('contextmenu', (e) => e.preventDefault());
  // Safari's own pinch gesture, which touch-action does not stop.
  document.addEventListener('gesturestart', (e) => e.preventDefault());

  // ---- Taps on the picture: the buttons drawn on the handheld, the titles
  // of the menu.

  const taps = new Map();  // pointer -> the frame point it went down at
  canvas.addEventListener('pointerdown', (e) => {
    e.preventDefault();
    const r = canvas.getBoundingClientRect();
    const x = Math.floor(((e.clientX - r.left) * W) / r.width);
    const y = Math.floor(((e.clientY - r.top) * H) / r.height);
    canvas.setPointerCapture(e.pointerId);
    taps.set(e.pointerId, [x, y]);
    input(() => { if (api.tap(x, y, 1) === 1) buzz(); });
  });
  const untap = (e) => {
    const at = taps.get(e.pointerId);
    if (!at) return;
    taps.delete(e.pointerId);
    input(() => api.tap(at[0], at[1], 0));
  };
  for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
    canvas.addEventListener(type, untap);

  // ---- Gamepads: polled in the frame loop while one is connected.

  function pollPads() {
    if (!padsSeen || !navigator.getGamepads) return;
    let bits = 0, any = false;
    for (const pad of navigator.getGamepads()) {
      if (!pad || !pad.connected) continue;
      any = true;
      pad.buttons.forEach((b, i) => { if (b.pressed && PAD_BITS[i] >= 0) bits |= 1 << PAD_BITS[i]; });
      const [x = 0, y = 0] = pad.axes;
      if (x < -0.5) bits |= PAD_LEFT;
      if (x > 0.5) bits |= PAD_RIGHT;
      if (y < -0.5) bits |= PAD_UP;
      if (y > 0.5) bits |= PAD_DOWN;
    }
    padsSeen = any;
    if (bits !== padBits) {
      padBits = bits;
      api.pad(bits);
      changed = true;
    }
  }
  window.addEventListener('gamepadconnected', () => {
    padsSeen = true;
    input(() => {});
  });

  // ---- Start.

  function bindApi(module) {
    const c = (name, ret, args) => module.cwrap(name, ret, args);
    return {
      startPack: (bytes) => {
        const ptr = module._malloc(bytes.length);
        module.HEAPU8.set(bytes, ptr);
        const ok = module._zt_web_start_pack(ptr, bytes.length);
        module._free(ptr);
        return ok;
      },
      run: module._zt_web_run,
      key: c('zt_web_key', 'number', ['string', 'number']),
      button: c('zt_web_button', 'number', ['string', 'number']),
      pad: module._zt_web_pad,
      zoom: module._zt_web_zoom,
      tap: module._zt_web_tap,
      inGame: module._zt_web_in_game,
      frame: module._zt_web_frame,
      audio: module._zt_web_audio,
      audioRate: module._zt_web_audio_rate,
      dueMs: module._zt_web_due_ms,
      time: module._zt_web_time,
      reanchor: module._zt_web_reanchor,
      watch: c('zt_web_watch', 'string', []),
      game: c('zt_web_game', 'string', []),
      select: c('zt_web_select', 'number', ['string']),
      open: c('zt_web_open', 'number', ['string']),
      zoomLevel: module._zt_web_zoom_level,
      zoomSet: module._zt_web_zoom_set,
      volume: module._zt_web_volume,
      volumeSet: module._zt_web_volume_set,
      error: c('zt_web_error', 'string', []),
      boardKey: c('zt_web_board_key', 'string', ['number']),
      response: module._zt_web_response,
      responseSet: module._zt_web_response_set,
      responseName: c('zt_web_response_name', 'string', ['number']),
      width: module._zt_web_width,
      height: module._zt_web_height,
    };
  }

  function start(module, pack) {
    M = module;
    api = bindApi(M);
    W = canvas.width = api.width();
    H = canvas.height = api.height();
    fit();
    handTime();
    if (api.startPack(pack) !== 0) {
      fail('Zentick could not start: ' + api.error());
      return;
    }
    running = true;
    // The settings of the last visit, then the game a link asks for.
    const zoom = Number(load('zoom', NaN));
    const volume = Number(load('volume', NaN));
    if (zoom >= 0 && zoom <= 2) api.zoomSet(zoom);
    api.responseSet(Number(load('response', 0)) || 0);
    showResponse(false);
    if (volume >= 0 && volume <= 100) api.volumeSet(volume);
    const linked = new URLSearchParams(location.search).get('game');
    if (!linked || api.open(linked) !== 0) {
      api.select(load('game', ''));
    }
    last = performance.now();
    // The menu's first frame at once, not an animation frame later.
    if (!run(1)) return;
    draw();
    schedule();
    if ('serviceWorker' in navigator)
      navigator.serviceWorker.register('sw.js').catch((e) => console.log('offline play unavailable: ' + e));
  }

  // ---- Loading: the module's code and the data pack at once, with one
  // progress bar over both.

  const loads = [];
  function showProgress() {
    const total = loads.reduce((sum, l) => sum + l.total, 0);
    const done = loads.reduce((sum, l) => sum + l.done, 0);
    // A compressing server gives no length to count against.
    if (loads.every((l) => l.total > 0)) progress.value = Math.min(1, done / total);
    else progress.removeAttribute('value');
  }

  async function download(file) {
    const entry = { total: 0, done: 0 };
    loads.push(entry);
    let response;
    try {
      response = await fetch(file);
    } catch (e) {
      throw new Error(file + ' could not be loaded: ' + e.message);
    }
    if (!response.ok) throw new Error(file + ' could not be loaded: ' + response.status + ' ' + response.statusText);
    if (!response.headers.get('Content-Encoding'))
      entry.total = Number(response.headers.get('Content-Length')) || 0;
    if (!response.body) return new Uint8Array(await response.arrayBuffer());
    const parts = [];
    for (const reader = response.body.getReader(); ;) {
      const { done, value } = await reader.read();
      if (done) break;
      parts.push(value);
      entry.done += value.length;
      showProgress();
    }
    const bytes = new Uint8Array(entry.done);
    let at = 0;
    for (const part of parts) bytes.set(part, at), at += part.length;
    return bytes;
  }

  if (location.protocol === 'file:') {
    fail('This page must be served over http, not opened as a file: browsers do not let a ' +
         'file load the simulator. From the Zentick folder run scripts/web.sh and open ' +
         'http://127.0.0.1:8000/, or copy this folder to a web server.');
    return;
  }
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    fail('This browser cannot run WebAssembly, which Zentick needs. ' +
         'A recent Firefox, Chrome, Edge or Safari can.');
    return;
  }

  // The code comes gzipped and is inflated here, unless the server already
  // did (it then arrives as WebAssembly's "\0asm").
  async function code() {
    if (typeof DecompressionStream !== 'function') return download('zentick.wasm');
    const bytes = await download('zentick.wasm.gz');
    if (bytes[0] !== 0x1f || bytes[1] !== 0x8b) return bytes;
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    return new Uint8Array(await new Response(stream).arrayBuffer());
  }

  const pack = download('zentick.pack');
  pack.catch(() => {});  // reported where it is awaited
  code().then((wasm) => new Promise((resolve) => {
    window.Module = {
      wasmBinary: wasm.buffer,
      print: (text) => console.log(text),
      printErr: (text) => console.warn(text),
      onAbort: (what) => fail(describe(what)),
      onRuntimeInitialized: resolve,
    };
    const script = document.createElement('script');
    script.src = 'zentick.js';
    script.onerror = () => fail('The simulator (zentick.js) could not be loaded from the server.');
    document.body.appendChild(script);
  })).then(() => pack).then((bytes) => start(window.Module, bytes))
    .catch((e) => fail(describe(e)));
})();
