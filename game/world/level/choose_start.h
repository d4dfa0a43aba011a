// Where a run starts and where it must get to: one of the level's start locators with the
// end locator of the same rank in the file.
#pragma once

#include <d3dx9math.h>

#include <vector>

#include "game/data/level_data.h"

struct StartChoice {
    D3DXMATRIX start;
    D3DXMATRIX end;
    // Whether the level has a pair at all; without one both matrices are identities.
    bool paired = false;
};

// Locators are starts when their tag begins with "start", ends when it begins with "end".
// With as many ends as starts (at least one), a pair picked from the C runtime's generator
// seeded with the time and the whole seconds of the performance counter; otherwise identity
// matrices for both.
StartChoice chooseStart(const std::vector<kesh::data::LocatorObject>& locators);
