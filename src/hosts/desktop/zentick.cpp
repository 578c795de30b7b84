// SPDX-License-Identifier: MIT
// The program: reads the command line, brings up the SDL platform, runs the
// menu and turns a fatal ZT_Exception into one line on stderr and status 1.
#include <cstdio>
#include <memory>
#include <string>

#include "hosts/desktop/anyoption.h"
#include "menu/gamelist.h"
#include "menu/menu.h"
#include "platform/datapath.h"
#include "platform/plat_sdl.h"
#include "platform/platform.h"

// The installed data folder, relative to the installed program's folder; fixed
// when the build is configured.
#ifndef ZT_INSTALLED_DATA
#define ZT_INSTALLED_DATA ""
#endif

int main(int argc, char** argv) {
  std::string datapath;

  auto options = std::make_unique<AnyOption>();
  options->addUsage("");
  options->addUsage("Usage: ");
  options->addUsage("");
  options->addUsage(" -h  --help  \t\t\t\tPrints this help ");
  options->addUsage(" -d  --data-path /dir\t\tData files path ");
  options->addUsage("");
  options->setFlag("help", 'h');
  options->setOption("data-path", 'd');
  options->processCommandArgs(argc, argv);

  if (options->getFlag("help") || options->getFlag('h')) {
    options->printUsage();
    return 0;
  }
  if (options->getValue('d') != nullptr) datapath = options->getValue('d');
  options.reset();

  // A -d path is used as typed; the default is the data folder beside the
  // program, whatever directory it was started from, or the installed one.
  if (datapath.empty())
    datapath = ZT_Platform_datapath_find(ZT_Platform_exedir_get(), ZT_Platform_DataPath,
                                         ZT_INSTALLED_DATA);

  try {
    ZT_PlatformSDL platform(640, 480, false, true);
    if (!datapath.empty()) platform.datapath_set(datapath);
    platform.initialize();

    // Declared after the platform, so that they go before it does; the menu
    // frees its last picture only after the platform has been finalised.
    ZT_GameList gamelist(&platform);
    ZT_Menu menu(&platform, &gamelist);
    menu.Run();

    platform.finalize();
  } catch (const ZT_Exception& e) {
    // The platform has been destroyed (and so finalised) by now: no window is
    // left open while the line is printed.
    std::fprintf(stderr, "%s\n", e.message.c_str());
    return 1;
  }
  return 0;
}
