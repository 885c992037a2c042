#include "tools/wayland_input/virtual_devices.h"

namespace grumbol::tools {

namespace {

const wl_interface* const kNoTypes[5] = {};
const wl_interface* const kKeyboardFactoryTypes[2] = {&wl_seat_interface, &kVirtualKeyboard};
const wl_interface* const kPointerFactoryTypes[2] = {&wl_seat_interface, &kVirtualPointer};

const wl_message kKeyboardManagerRequests[] = {
    {"create_virtual_keyboard", "on", const_cast<const wl_interface**>(kKeyboardFactoryTypes)},
};
const wl_message kKeyboardRequests[] = {
    {"keymap", "uhu", const_cast<const wl_interface**>(kNoTypes)},
    {"key", "uuu", const_cast<const wl_interface**>(kNoTypes)},
    {"modifiers", "uuuu", const_cast<const wl_interface**>(kNoTypes)},
    {"destroy", "", const_cast<const wl_interface**>(kNoTypes)},
};
const wl_message kPointerManagerRequests[] = {
    {"create_virtual_pointer", "?on", const_cast<const wl_interface**>(kPointerFactoryTypes)},
    {"destroy", "", const_cast<const wl_interface**>(kNoTypes)},
};
const wl_message kPointerRequests[] = {
    {"motion", "uff", const_cast<const wl_interface**>(kNoTypes)},
    {"motion_absolute", "uuuuu", const_cast<const wl_interface**>(kNoTypes)},
    {"button", "uuu", const_cast<const wl_interface**>(kNoTypes)},
    {"axis", "uuf", const_cast<const wl_interface**>(kNoTypes)},
    {"frame", "", const_cast<const wl_interface**>(kNoTypes)},
    {"axis_source", "u", const_cast<const wl_interface**>(kNoTypes)},
    {"axis_stop", "uu", const_cast<const wl_interface**>(kNoTypes)},
    {"axis_discrete", "uufi", const_cast<const wl_interface**>(kNoTypes)},
    {"destroy", "", const_cast<const wl_interface**>(kNoTypes)},
};

enum KeyboardOpcode : unsigned { kKeymap = 0, kKey = 1, kModifiers = 2 };
enum PointerOpcode : unsigned { kMotion = 0, kButton = 2, kFrame = 4 };

}  // namespace

const wl_interface kVirtualKeyboardManager = {"zwp_virtual_keyboard_manager_v1", 1, 1,
                                              kKeyboardManagerRequests,          0, nullptr};
const wl_interface kVirtualKeyboard = {"zwp_virtual_keyboard_v1", 1, 4,
                                       kKeyboardRequests,         0, nullptr};
const wl_interface kVirtualPointerManager = {"zwlr_virtual_pointer_manager_v1", 1, 2,
                                             kPointerManagerRequests,           0, nullptr};
const wl_interface kVirtualPointer = {"zwlr_virtual_pointer_v1", 1, 9,
                                      kPointerRequests,          0, nullptr};

wl_proxy* CreateVirtualKeyboard(wl_proxy* manager, wl_seat* seat) {
  return wl_proxy_marshal_constructor(manager, 0, &kVirtualKeyboard, seat, nullptr);
}

void SendKeymap(wl_proxy* keyboard, int fd, unsigned size) {
  wl_proxy_marshal(keyboard, kKeymap, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
}

void SendKey(wl_proxy* keyboard, unsigned time_ms, unsigned evdev_code, bool pressed) {
  wl_proxy_marshal(keyboard, kKey, time_ms, evdev_code,
                   pressed ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

void SendModifiers(wl_proxy* keyboard, unsigned depressed, unsigned latched, unsigned locked,
                   unsigned group) {
  wl_proxy_marshal(keyboard, kModifiers, depressed, latched, locked, group);
}

wl_proxy* CreateVirtualPointer(wl_proxy* manager, wl_seat* seat) {
  return wl_proxy_marshal_constructor(manager, 0, &kVirtualPointer, seat, nullptr);
}

void SendMotion(wl_proxy* pointer, unsigned time_ms, double dx, double dy) {
  wl_proxy_marshal(pointer, kMotion, time_ms, wl_fixed_from_double(dx), wl_fixed_from_double(dy));
}

void SendButton(wl_proxy* pointer, unsigned time_ms, unsigned evdev_button, bool pressed) {
  wl_proxy_marshal(pointer, kButton, time_ms, evdev_button,
                   pressed ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
}

void SendFrame(wl_proxy* pointer) { wl_proxy_marshal(pointer, kFrame); }

}  // namespace grumbol::tools
