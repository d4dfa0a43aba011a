#include "game/vehicle/input/driving_actions.h"

#include <cwchar>

const GUID kDrivingActionMapGuid = {
    0x6D6F7276u, 0x616C, 0x6544, {0x72, 0x69, 0x76, 0x69, 0x6E, 0x67, 0x00, 0x01}};

namespace {

struct ActionEntry {
    UINT_PTR appData;
    DWORD semantic;
    const wchar_t* name;
};

const ActionEntry kActions[kDrivingActionCount] = {
    {kActionSteer, DIAXIS_DRIVINGR_STEER, L"Turn"},
    {kActionAccelerateAxis, DIAXIS_DRIVINGR_ACCEL_AND_BRAKE, L"Accelerate"},
    {kActionAccelerateAxis, DIAXIS_DRIVINGR_ACCELERATE, L"Accelerate"},
    {kActionDecelerateAxis, DIAXIS_DRIVINGR_BRAKE, L"Decelerate"},
    {kActionBrake, DIBUTTON_DRIVINGR_BRAKE, L"Brake"},
    {kActionTurnLeft, DIKEYBOARD_LEFT, L"Turn left"},
    {kActionTurnRight, DIKEYBOARD_RIGHT, L"Turn right"},
    {kActionAccelerateKey, DIKEYBOARD_UP, L"Accelerate"},
    {kActionDecelerateKey, DIKEYBOARD_DOWN, L"Decelerate"},
    {kActionBrake, DIKEYBOARD_SPACE, L"Brake"},
    {kActionMouseSteer, DIMOUSE_XAXIS, L"Turn"},
    {kActionAccelerateKey, DIMOUSE_BUTTON0, L"Accelerate"},
    {kActionDecelerateKey, DIMOUSE_BUTTON1, L"Decelerate"},
    {kActionBrake, DIMOUSE_BUTTON2, L"Brake"},
};

constexpr LONG kAxisMin = -100;
constexpr LONG kAxisMax = 100;
constexpr DWORD kBufferedEvents = 16;

}  // namespace

void fillDrivingActions(DIACTIONW (&actions)[kDrivingActionCount]) {
    for (std::size_t i = 0; i < kDrivingActionCount; ++i) {
        actions[i] = DIACTIONW{};
        actions[i].uAppData = kActions[i].appData;
        actions[i].dwSemantic = kActions[i].semantic;
        actions[i].dwFlags = 0;
        actions[i].lptszActionName = kActions[i].name;
    }
}

DIACTIONFORMATW makeDrivingActionFormat(DIACTIONW (&actions)[kDrivingActionCount]) {
    DIACTIONFORMATW format{};
    format.dwSize = sizeof(DIACTIONFORMATW);
    format.dwActionSize = sizeof(DIACTIONW);
    format.dwDataSize = static_cast<DWORD>(kDrivingActionCount * 4);
    format.dwNumActions = static_cast<DWORD>(kDrivingActionCount);
    format.rgoAction = actions;
    format.guidActionMap = kDrivingActionMapGuid;
    format.dwGenre = DIVIRTUAL_DRIVING_RACE;
    format.dwBufferSize = kBufferedEvents;
    format.lAxisMin = kAxisMin;
    format.lAxisMax = kAxisMax;
    format.hInstString = nullptr;
    std::wcsncpy(format.tszActionMap, L"Morvale", 259);
    return format;
}
