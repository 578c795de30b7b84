// SPDX-License-Identifier: MIT
// Time & Fun - Condor: track index 0 and items appearing there; the engine's
// own layout is this handheld's.
#include "engines/dev_condor.h"

ZT_Game_Condor::ZT_Game_Condor() : ZT_GameEngine_VTech_Condor(0, CF_TRACK_ZERO) {}

ZT_Game_Condor::~ZT_Game_Condor() {}

ZT_Game* ZT_Game_Condor_Info::create() { return new ZT_Game_Condor(); }
