// DirectInput 8 as the game uses it: action mapping for the driving genre over the
// keyboard, the mouse and every SDL joystick or game controller, read as buffered events.
// Structures are native (the caller passes sizeof); see dinput8/test_seam.h for what tests
// can script.
#pragma once

#include <unknwn.h>
#include <windows.h>

#define DIRECTINPUT_VERSION 0x0800

extern const IID IID_IDirectInput8W;
extern const IID IID_IDirectInputDevice8W;

// Device instances of the system keyboard and mouse.
extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;

// Properties (SetProperty): DIPROP_DEADZONE takes a DIPROPDWORD of 0..10000 (hundredths of
// a percent of an absolute axis' travel).
extern const GUID DIPROP_DEADZONE;

#define DI_OK S_OK
#define DI_NOEFFECT S_FALSE
#define DI_BUFFEROVERFLOW S_FALSE
#define DI_PROPNOEFFECT S_FALSE
#define DIERR_INVALIDPARAM E_INVALIDARG
#define DIERR_UNSUPPORTED E_NOTIMPL
#define DIERR_OTHERAPPHASPRIO E_ACCESSDENIED
#define DIERR_NOTACQUIRED static_cast<HRESULT>(0x8007000Cu)
#define DIERR_INPUTLOST static_cast<HRESULT>(0x8007001Eu)
#define DIERR_ACQUIRED static_cast<HRESULT>(0x800700AAu)
#define DIERR_NOTBUFFERED static_cast<HRESULT>(0x80040207u)
#define DIERR_UNPLUGGED static_cast<HRESULT>(0x80040209u)
#define DIERR_OLDDIRECTINPUTVERSION static_cast<HRESULT>(0x8007047Eu)
#define DIERR_BETADIRECTINPUTVERSION static_cast<HRESULT>(0x80070481u)

#define DIENUM_STOP 0
#define DIENUM_CONTINUE 1

#define DISCL_EXCLUSIVE 0x00000001u
#define DISCL_NONEXCLUSIVE 0x00000002u
#define DISCL_FOREGROUND 0x00000004u
#define DISCL_BACKGROUND 0x00000008u

#define DIPH_DEVICE 0u

// Device types (low byte of dwDevType).
#define DI8DEVTYPE_MOUSE 0x12u
#define DI8DEVTYPE_KEYBOARD 0x13u
#define DI8DEVTYPE_JOYSTICK 0x14u
#define DI8DEVTYPE_GAMEPAD 0x15u
#define DI8DEVTYPE_DRIVING 0x16u

// Object identities (dwObjID): type bits and the instance number.
#define DIDFT_RELAXIS 0x00000001u
#define DIDFT_ABSAXIS 0x00000002u
#define DIDFT_AXIS 0x00000003u
#define DIDFT_PSHBUTTON 0x00000004u
#define DIDFT_BUTTON 0x0000000Cu
#define DIDFT_MAKEINSTANCE(n) ((static_cast<DWORD>(n) & 0xFFFFu) << 8)
#define DIDFT_GETINSTANCE(id) ((static_cast<DWORD>(id) >> 8) & 0xFFFFu)

// How an action was mapped (DIACTIONW::dwHow).
#define DIAH_UNMAPPED 0x00000000u
#define DIAH_DEFAULT 0x00000020u

// The driving genre and its semantics.
#define DIVIRTUAL_DRIVING_RACE 0x01000000u
#define DIAXIS_DRIVINGR_STEER 0x01008A01u
#define DIAXIS_DRIVINGR_ACCELERATE 0x01039202u
#define DIAXIS_DRIVINGR_BRAKE 0x01041203u
#define DIAXIS_DRIVINGR_ACCEL_AND_BRAKE 0x01014A04u
#define DIBUTTON_DRIVINGR_BRAKE 0x01004C04u

// Keyboard semantics carry the key's DIK code in their low byte.
#define DIKEYBOARD_SPACE 0x81000439u
#define DIKEYBOARD_UP 0x810004C8u
#define DIKEYBOARD_LEFT 0x810004CBu
#define DIKEYBOARD_RIGHT 0x810004CDu
#define DIKEYBOARD_DOWN 0x810004D0u

#define DIMOUSE_XAXIS 0x82000300u
#define DIMOUSE_BUTTON0 0x8200040Cu
#define DIMOUSE_BUTTON1 0x8200040Du
#define DIMOUSE_BUTTON2 0x8200040Eu

typedef struct _DIACTIONW {
    UINT_PTR uAppData;
    DWORD dwSemantic;
    DWORD dwFlags;
    LPCWSTR lptszActionName;
    // Filled by BuildActionMap: the device and object the action maps to, and how.
    GUID guidInstance;
    DWORD dwObjID;
    DWORD dwHow;
} DIACTIONW, *LPDIACTIONW;

typedef struct _DIACTIONFORMATW {
    DWORD dwSize;        // sizeof(DIACTIONFORMATW)
    DWORD dwActionSize;  // sizeof(DIACTIONW)
    DWORD dwDataSize;    // 4 bytes per action
    DWORD dwNumActions;
    LPDIACTIONW rgoAction;
    GUID guidActionMap;
    DWORD dwGenre;
    DWORD dwBufferSize;  // events buffered per device
    LONG lAxisMin;
    LONG lAxisMax;
    HINSTANCE hInstString;
    WCHAR tszActionMap[260];
} DIACTIONFORMATW, *LPDIACTIONFORMATW;
typedef const DIACTIONFORMATW* LPCDIACTIONFORMATW;

typedef struct _DIDEVICEINSTANCEW {
    DWORD dwSize;
    GUID guidInstance;
    GUID guidProduct;
    DWORD dwDevType;
    WCHAR tszInstanceName[260];
    WCHAR tszProductName[260];
    GUID guidFFDriver;
    WORD wUsagePage;
    WORD wUsage;
} DIDEVICEINSTANCEW, *LPDIDEVICEINSTANCEW;
typedef const DIDEVICEINSTANCEW* LPCDIDEVICEINSTANCEW;

// One buffered event: with an action map, dwOfs is the action's offset in the format's data
// (4 x its index) and uAppData the action's own value.
typedef struct _DIDEVICEOBJECTDATA {
    DWORD dwOfs;
    DWORD dwData;  // axes: the value as a LONG; buttons and keys: 0x80 down, 0 up
    DWORD dwTimeStamp;
    DWORD dwSequence;
    UINT_PTR uAppData;
} DIDEVICEOBJECTDATA, *LPDIDEVICEOBJECTDATA;

typedef struct _DIPROPHEADER {
    DWORD dwSize;        // size of the whole property structure
    DWORD dwHeaderSize;  // sizeof(DIPROPHEADER)
    DWORD dwObj;
    DWORD dwHow;  // DIPH_DEVICE: the whole device (dwObj 0)
} DIPROPHEADER, *LPDIPROPHEADER;
typedef const DIPROPHEADER* LPCDIPROPHEADER;

typedef struct _DIPROPDWORD {
    DIPROPHEADER diph;
    DWORD dwData;
} DIPROPDWORD, *LPDIPROPDWORD;

struct IDirectInputDevice8W : public IUnknown {
    // Acquisition: S_FALSE when already acquired; DIERR_OTHERAPPHASPRIO while a foreground
    // device's window is in the background; DIERR_INVALIDPARAM before SetActionMap.
    virtual HRESULT Acquire() = 0;
    // Every key and button reported down gets a release event, every axis a re-centre
    // event, delivered by the next successful GetDeviceData.
    virtual HRESULT Unacquire() = 0;
    // Reads a joystick's state into the buffer; DI_NOEFFECT for the keyboard and the mouse.
    virtual HRESULT Poll() = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    // Fills guidInstance, dwObjID and dwHow of every action this device can take.
    virtual HRESULT BuildActionMap(LPDIACTIONFORMATW format, LPCWSTR userName, DWORD flags) = 0;
    // Takes the actions mapped to this device; only while unacquired.
    virtual HRESULT SetActionMap(LPCDIACTIONFORMATW format, LPCWSTR userName, DWORD flags) = 0;
    virtual HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) = 0;
    // Takes up to *count events, oldest first (data null: drops them); DI_BUFFEROVERFLOW
    // when older events were lost since the last call (the newest are always kept).
    virtual HRESULT GetDeviceData(DWORD objectDataSize, LPDIDEVICEOBJECTDATA data, DWORD* count,
                                  DWORD flags) = 0;
};
typedef IDirectInputDevice8W* LPDIRECTINPUTDEVICE8W;

// Called once per device; the device is the enumerator's, AddRef it to keep it.
typedef BOOL (*LPDIENUMDEVICESBYSEMANTICSCBW)(LPCDIDEVICEINSTANCEW instance,
                                              LPDIRECTINPUTDEVICE8W device, DWORD flags,
                                              DWORD remaining, LPVOID reference);

struct IDirectInput8W : public IUnknown {
    // Offers every attached device that can take an action of the format: the keyboard, the
    // mouse, then each joystick and game controller (those plugged in since are included).
    virtual HRESULT EnumDevicesBySemantics(LPCWSTR userName, LPDIACTIONFORMATW format,
                                           LPDIENUMDEVICESBYSEMANTICSCBW callback, LPVOID reference,
                                           DWORD flags) = 0;
};
typedef IDirectInput8W* LPDIRECTINPUT8W;

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID interfaceId, LPVOID* out,
                           LPUNKNOWN outer);
