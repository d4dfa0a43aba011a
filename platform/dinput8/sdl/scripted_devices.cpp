#include "sdl/scripted_devices.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "dinput8/test_seam.h"
#include "win32/window_seams.h"

namespace dinput8 {

namespace {

struct ScriptedDevice {
    std::string name;
    std::unique_ptr<dinput8_test::VirtualDevice> device;
};

// Never destroyed: the devices must outlive every DirectInput object, and SDL may already be
// shut down when static destructors run.
std::vector<ScriptedDevice>& devices() {
    static auto* list = new std::vector<ScriptedDevice>;
    return *list;
}

dinput8_test::VirtualDevice* deviceNamed(const std::string& name) {
    for (ScriptedDevice& entry : devices()) {
        if (entry.name == name) {
            return entry.device.get();
        }
    }
    return nullptr;
}

int number(const std::string& word) {
    return static_cast<int>(std::strtol(word.c_str(), nullptr, 10));
}

// "attach <wheel|pedals|joystick|gamepad> <name> <axes> <buttons>",
// "axis <name> <axis> <value>", "joybutton <name> <button> down|up", "detach <name>".
bool play(const std::vector<std::string>& words) {
    const std::string& verb = words[0];
    if (verb == "attach" && words.size() == 5) {
        dinput8_test::VirtualKind kind;
        if (words[1] == "wheel") {
            kind = dinput8_test::VirtualKind::Wheel;
        } else if (words[1] == "pedals") {
            kind = dinput8_test::VirtualKind::Pedals;
        } else if (words[1] == "joystick") {
            kind = dinput8_test::VirtualKind::Joystick;
        } else if (words[1] == "gamepad") {
            kind = dinput8_test::VirtualKind::Gamepad;
        } else {
            return false;
        }
        if (deviceNamed(words[2]) != nullptr) {
            return false;
        }
        devices().push_back(
            {words[2], std::make_unique<dinput8_test::VirtualDevice>(
                           kind, number(words[3]), number(words[4]), words[2].c_str())});
        return devices().back().device->attached();
    }
    if (verb == "axis" && words.size() == 4) {
        dinput8_test::VirtualDevice* device = deviceNamed(words[1]);
        if (device == nullptr) {
            return false;
        }
        device->setAxis(number(words[2]), number(words[3]));
        return true;
    }
    if (verb == "joybutton" && words.size() == 4) {
        dinput8_test::VirtualDevice* device = deviceNamed(words[1]);
        if (device == nullptr) {
            return false;
        }
        device->setButton(number(words[2]), words[3] == "down");
        return true;
    }
    if (verb == "detach" && words.size() == 2) {
        dinput8_test::VirtualDevice* device = deviceNamed(words[1]);
        if (device == nullptr) {
            return false;
        }
        device->detach();
        return true;
    }
    return false;
}

}  // namespace

void enableScriptedDevices() {
    if (win32::inputScriptActive()) {
        win32::setInputScriptExtension(&play);
    }
}

}  // namespace dinput8
