// The Zentick page: loads the WebAssembly simulator, drives its clock from
// animation frames and connects it to the keyboard, the on-screen buttons,
// the canvas and Web Audio.
'use strict';

(function () {
  const W = 640;
  const H = 480;
  // The desktop's keys (by physical key, so that Shift does not matter) and
  // their key codes; "+" and "-" go by the character, as on the desktop.
  const KEYS = {
    ArrowUp: 0, ArrowDown: 1, ArrowLeft: 2, ArrowRight: 3, Enter: 4, Backspace: 5,
    Escape: 7, Digit1: 10, Digit2: 11, Digit3: 12, KeyQ: 13, KeyP: 14, KeyA: 15,
    KeyL: 16, Digit7: 17, Digit9: 18, Digit8: 19,
  };
  const KEY_VOLUME_UP = 8;
  const KEY_VOLUME_DOWN = 9;
  const MAX_CATCH_UP_MS = 1000;
  // Sound is queued a little ahead of the audio clock, and dropped when the
  // queue is already long (after a catch-up), so that it does not lag.
  const AUDIO_LEAD_S = 0.05;
  const AUDIO_MAX_AHEAD_S = 0.3;

  const canvas = document.getElementById('screen');
  const area = document.getElementById('screen-area');
  const statusLine = document.getElementById('status');
  const hint = document.getElementById('hint');
  const ctx = canvas.getContext('2d', { alpha: false });

  let M = null;          // the emscripten module once it runs
  let running = false;   // stops for good on an error
  let rafId = null;
  let last = null;       // time of the last animation frame
  let carry = 0;         // fraction of a millisecond not yet run
  let audio = null;      // the AudioContext, made on the first gesture
  let audioTime = 0;     // where the next sound buffer starts
  let audioOwed = 0;     // fraction of a sample not yet mixed

  // What the tests (and the curious) can read; times count from the page's load.
  const stats = { firstFrameMs: null, uploads: 0, soundBuffers: 0, error: null };
  window.zentick = {
    stats,
    inGame: () => (M ? M._zt_web_in_game() === 1 : false),
    audioState: () => (audio ? audio.state : 'none'),
  };

  function showStatus(text, isError) {
    statusLine.textContent = text;
    statusLine.classList.toggle('error', !!isError);
    statusLine.hidden = false;
  }

  function fail(text) {
    if (stats.error) return;
    stats.error = text;
    running = false;
    if (rafId !== null) cancelAnimationFrame(rafId);
    rafId = null;
    showStatus(text, true);
  }

  function describe(error) {
    const text = String(error && error.message ? error.message : error);
    if (/zentick\.data|NetworkError/.test(text))
      return 'The game data (zentick.data) could not be loaded from the server. ' +
             'Check that it was copied beside this page. (' + text + ')';
    return 'Zentick stopped because of an error: ' + text;
  }

  window.addEventListener('error', (e) => fail(describe(e.error || e.message)));
  window.addEventListener('unhandledrejection', (e) => fail(describe(e.reason)));

  // Whole pixels: each frame pixel covers the same number of device pixels.
  // Only a window smaller than the frame gets an uneven scale.
  function fit() {
    const dpr = window.devicePixelRatio || 1;
    const aw = area.clientWidth;
    const ah = area.clientHeight;
    let scale = Math.floor(Math.min((aw * dpr) / W, (ah * dpr) / H)) / dpr;
    if (scale * dpr < 1) scale = Math.max(Math.min(aw / W, ah / H), 0.1);
    canvas.style.width = (W * scale) + 'px';
    canvas.style.height = (H * scale) + 'px';
  }
  new ResizeObserver(fit).observe(area);
  window.addEventListener('resize', fit);
  fit();

  // Browsers allow sound only after a gesture: the context is made on the
  // first key or tap, and the page stays muted until then.
  function unlockAudio() {
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    if (!audio) {
      audio = new Context();
      audio.onstatechange = () => { hint.hidden = audio.state === 'running'; };
    }
    if (audio.state !== 'running') audio.resume().catch(() => {});
    hint.hidden = audio.state === 'running';
  }
  // Only events that count as a user activation, so that no refusal is logged.
  window.addEventListener('keydown', (e) => { if (e.key !== 'Escape') unlockAudio(); }, true);
  for (const type of ['mousedown', 'pointerup', 'touchend'])
    window.addEventListener(type, unlockAudio, true);

  function keyOf(e) {
    if ((e.code || '').startsWith('Numpad')) return undefined;  // the keypad is not the desktop's keys
    if (e.key === '+') return KEY_VOLUME_UP;
    if (e.key === '-') return KEY_VOLUME_DOWN;
    return KEYS[e.code];
  }

  window.addEventListener('keydown', (e) => {
    if (e.ctrlKey || e.metaKey || e.altKey) return;  // leave the browser's shortcuts alone
    const key = keyOf(e);
    if (key === undefined) return;
    e.preventDefault();
    if (M && running && !e.repeat) M._zt_web_key(key);  // no key repeat, as on the desktop
  });

  for (const button of document.querySelectorAll('.pad button')) {
    button.addEventListener('pointerdown', (e) => {
      e.preventDefault();
      if (!M || !running) return;
      if (button.dataset.zoom) M._zt_web_zoom();
      else M._zt_web_button(Number(button.dataset.key));
    });
    button.addEventListener('contextmenu', (e) => e.preventDefault());
  }

  // Always mixed, so that sounds end on time while muted; queued when audible.
  function pullAudio(ms) {
    const rate = M._zt_web_audio_rate();
    audioOwed += (ms * rate) / 1000;
    const n = Math.floor(audioOwed);
    audioOwed -= n;
    if (n <= 0) return;
    const ptr = M._zt_web_audio(n);
    if (!ptr || !audio || audio.state !== 'running') return;
    const now = audio.currentTime;
    if (audioTime < now) audioTime = now + AUDIO_LEAD_S;
    // A long catch-up is not played late: it is mixed and dropped.
    if (audioTime > now + AUDIO_MAX_AHEAD_S || n / rate > AUDIO_MAX_AHEAD_S) return;
    const pcm = new Int16Array(M.HEAPU8.buffer, ptr, n);
    let silent = true;
    for (let i = 0; i < n && silent; i++) silent = pcm[i] === 0;
    if (!silent) {
      const buffer = audio.createBuffer(1, n, rate);
      const out = buffer.getChannelData(0);
      for (let i = 0; i < n; i++) out[i] = pcm[i] / 32768;
      const source = audio.createBufferSource();
      source.buffer = buffer;
      source.connect(audio.destination);
      source.start(audioTime);
      stats.soundBuffers++;
    }
    audioTime += n / rate;
  }

  // The canvas is written only when the simulator presented a new frame.
  function draw() {
    const ptr = M._zt_web_frame();
    if (!ptr) return;
    const pixels = new Uint8ClampedArray(M.HEAPU8.buffer, ptr, W * H * 4);
    ctx.putImageData(new ImageData(pixels, W, H), 0, 0);
    stats.uploads++;
    if (stats.firstFrameMs === null) {
      stats.firstFrameMs = performance.now();
      statusLine.hidden = true;
    }
  }

  // Runs the simulator's clock on; false when it stopped on an error.
  function run(ms) {
    if (M._zt_web_run(ms) !== 0) {
      fail('Zentick stopped because of an error: ' + M.UTF8ToString(M._zt_web_error()));
      return false;
    }
    pullAudio(ms);
    return true;
  }

  function frame(now) {
    rafId = requestAnimationFrame(frame);
    if (last === null) last = now;
    let elapsed = now - last + carry;
    last = now;
    // After a hidden tab or a stall, time catches up by a second at most.
    if (elapsed > MAX_CATCH_UP_MS) elapsed = MAX_CATCH_UP_MS;
    const ms = Math.floor(elapsed);
    carry = elapsed - ms;
    if (ms > 0 && !run(ms)) return;
    draw();
  }

  function resume() {
    if (running && rafId === null && !document.hidden) rafId = requestAnimationFrame(frame);
  }
  // A hidden tab does nothing at all; its clock resumes from where it was.
  document.addEventListener('visibilitychange', () => {
    if (document.hidden && rafId !== null) {
      cancelAnimationFrame(rafId);
      rafId = null;
    } else {
      resume();
    }
  });

  function start(module) {
    M = module;
    // The data set is packed under /data of the module's file system.
    const ok = M.ccall('zt_web_start', 'number', ['string'], ['/data']) === 0;
    if (!ok) {
      fail('Zentick could not start: ' + M.UTF8ToString(M._zt_web_error()));
      return;
    }
    running = true;
    if (!audio || audio.state !== 'running') hint.hidden = false;
    // The menu's first frame at once, not an animation frame later.
    if (!run(1)) return;
    draw();
    resume();
  }

  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    fail('This browser cannot run WebAssembly, which Zentick needs. ' +
         'A recent Firefox, Chrome, Edge or Safari can.');
    return;
  }

  window.Module = {
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    onAbort: (what) => fail(describe(what)),
    onRuntimeInitialized: () => start(window.Module),
  };
  const script = document.createElement('script');
  script.src = 'zentick.js';
  script.onerror = () => fail('The simulator (zentick.js) could not be loaded from the server.');
  document.body.appendChild(script);
})();
