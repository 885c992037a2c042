#pragma once

#include <wayland-client.h>

// The client side of the two wlroots protocols that let a program act as a keyboard
// (zwp_virtual_keyboard_v1) and a pointer (zwlr_virtual_pointer_v1). Their XML files come with
// no Debian package, so the interface tables and the few requests used are written here; the
// requests keep the protocols' order, which is their wire opcode.

namespace grumbol::tools {

extern const wl_interface kVirtualKeyboardManager;
extern const wl_interface kVirtualKeyboard;
extern const wl_interface kVirtualPointerManager;
extern const wl_interface kVirtualPointer;

wl_proxy* CreateVirtualKeyboard(wl_proxy* manager, wl_seat* seat);
void SendKeymap(wl_proxy* keyboard, int fd, unsigned size);
void SendKey(wl_proxy* keyboard, unsigned time_ms, unsigned evdev_code, bool pressed);
void SendModifiers(wl_proxy* keyboard, unsigned depressed, unsigned latched, unsigned locked,
                   unsigned group);

wl_proxy* CreateVirtualPointer(wl_proxy* manager, wl_seat* seat);
void SendMotion(wl_proxy* pointer, unsigned time_ms, double dx, double dy);
void SendButton(wl_proxy* pointer, unsigned time_ms, unsigned evdev_button, bool pressed);
void SendFrame(wl_proxy* pointer);

}  // namespace grumbol::tools
