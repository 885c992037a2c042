// wayland-input: keys and mouse for programs on a wlroots Wayland compositor (sway), as xdotool
// gives them on X11, with the same words:
//
//   wayland-input serve SOCKET          keeps a keyboard and a pointer, and takes the calls
//                                       below through SOCKET, one after another
//   wayland-input COMMAND [ARG]... ...  runs the commands in order, through the server that
//                                       WAYLAND_INPUT_SOCKET names, or else on devices of its own:
//     key NAME[+NAME]...  keydown NAME  keyup NAME  type [--delay MS] TEXT
//     mousemove_relative [--] DX DY  mousedown BUTTON  mouseup BUTTON  sleep SECONDS
//
// Key names are X keysym names (Return, Escape, a, 1, F11; alt, ctrl, shift in combinations);
// keys go by position on a US keyboard map. Through the server, a key or button pressed in one
// call stays down until another lets it go, and clients meet one keyboard with one key map
// from the start (GTK matches its key bindings against the first map it sees).

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tools/wayland_input/virtual_devices.h"

namespace {

using namespace grumbol::tools;

struct Globals {
  wl_seat* seat = nullptr;
  wl_proxy* keyboards = nullptr;
  wl_proxy* pointers = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto& globals = *static_cast<Globals*>(data);
  const auto bind = [&](const wl_interface* wanted) {
    return static_cast<wl_proxy*>(wl_registry_bind(registry, name, wanted, 1));
  };
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals.seat == nullptr)
    globals.seat = reinterpret_cast<wl_seat*>(bind(&wl_seat_interface));
  else if (std::strcmp(interface, kVirtualKeyboardManager.name) == 0)
    globals.keyboards = bind(&kVirtualKeyboardManager);
  else if (std::strcmp(interface, kVirtualPointerManager.name) == 0)
    globals.pointers = bind(&kVirtualPointerManager);
}

void OnGlobalRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemoved};

class Devices {
 public:
  bool Open();
  bool Key(const std::string& name, bool pressed);
  bool Tap(const std::string& combination);
  bool Type(const std::string& text, int delay_ms);
  void Move(double dx, double dy);
  bool Button(const std::string& number, bool pressed);
  void Sync() { wl_display_roundtrip(display_); }

 private:
  unsigned Now() const {
    return static_cast<unsigned>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
  }
  // The key code and shift level that give `keysym`; 0 when no key does.
  xkb_keycode_t Find(xkb_keysym_t keysym, int& level) const;
  void Send(xkb_keycode_t code, bool pressed);

  wl_display* display_ = nullptr;
  wl_proxy* keyboard_ = nullptr;
  wl_proxy* pointer_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  xkb_state* state_ = nullptr;
};

bool Devices::Open() {
  display_ = wl_display_connect(nullptr);
  if (display_ == nullptr) {
    std::fprintf(stderr, "wayland-input: no Wayland display (is WAYLAND_DISPLAY set?)\n");
    return false;
  }
  Globals globals;
  wl_registry_add_listener(wl_display_get_registry(display_), &kRegistryListener, &globals);
  wl_display_roundtrip(display_);
  if (globals.seat == nullptr || globals.keyboards == nullptr || globals.pointers == nullptr) {
    std::fprintf(stderr, "wayland-input: the compositor offers no virtual keyboard and pointer\n");
    return false;
  }
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  const xkb_rule_names us = {"evdev", "pc105", "us", "", ""};
  keymap_ =
      context ? xkb_keymap_new_from_names(context, &us, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
  if (keymap_ == nullptr) {
    std::fprintf(stderr, "wayland-input: cannot make a US keyboard map (xkb-data missing?)\n");
    return false;
  }
  state_ = xkb_state_new(keymap_);
  char* text = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
  const std::size_t size = std::strlen(text) + 1;
  const int fd = memfd_create("keymap", MFD_CLOEXEC);
  if (fd < 0 || write(fd, text, size) != static_cast<ssize_t>(size)) return false;
  std::free(text);
  keyboard_ = CreateVirtualKeyboard(globals.keyboards, globals.seat);
  SendKeymap(keyboard_, fd, static_cast<unsigned>(size));
  pointer_ = CreateVirtualPointer(globals.pointers, globals.seat);
  Sync();
  close(fd);
  return true;
}

xkb_keycode_t Devices::Find(xkb_keysym_t keysym, int& level) const {
  for (level = 0; level < 2; ++level) {
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap_);
         code <= xkb_keymap_max_keycode(keymap_); ++code) {
      const xkb_keysym_t* syms = nullptr;
      const int count = xkb_keymap_key_get_syms_by_level(keymap_, code, 0, level, &syms);
      for (int i = 0; i < count; ++i) {
        if (syms[i] == keysym) return code;
      }
    }
  }
  return 0;
}

void Devices::Send(xkb_keycode_t code, bool pressed) {
  SendKey(keyboard_, Now(), code - 8, pressed);  // xkb codes are evdev codes + 8
  xkb_state_update_key(state_, code, pressed ? XKB_KEY_DOWN : XKB_KEY_UP);
  SendModifiers(keyboard_, xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED),
                xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED),
                xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED),
                xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE));
  wl_display_flush(display_);
}

bool Devices::Key(const std::string& name, bool pressed) {
  std::string keysym_name = name;
  for (const auto& [alias, real] : {std::pair{"alt", "Alt_L"},
                                    {"ctrl", "Control_L"},
                                    {"shift", "Shift_L"},
                                    {"super", "Super_L"}}) {
    if (name == alias) keysym_name = real;
  }
  xkb_keysym_t keysym = xkb_keysym_from_name(keysym_name.c_str(), XKB_KEYSYM_NO_FLAGS);
  if (keysym == XKB_KEY_NoSymbol)
    keysym = xkb_keysym_from_name(keysym_name.c_str(), XKB_KEYSYM_CASE_INSENSITIVE);
  int level = 0;
  const xkb_keycode_t code = keysym == XKB_KEY_NoSymbol ? 0 : Find(keysym, level);
  if (code == 0) {
    std::fprintf(stderr, "wayland-input: no key for '%s'\n", name.c_str());
    return false;
  }
  Send(code, pressed);
  return true;
}

bool Devices::Tap(const std::string& combination) {
  std::vector<std::string> keys;
  for (std::size_t start = 0, plus;; start = plus + 1) {
    plus = combination.find('+', start);
    keys.push_back(combination.substr(start, plus - start));
    if (plus == std::string::npos) break;
  }
  for (const std::string& key : keys) {
    if (!Key(key, true)) return false;
  }
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) Key(*key, false);
  return true;
}

bool Devices::Type(const std::string& text, int delay_ms) {
  int shift_level = 0;
  const xkb_keycode_t shift = Find(XKB_KEY_Shift_L, shift_level);
  for (const unsigned char c : text) {
    int level = 0;
    const xkb_keycode_t code = Find(xkb_utf32_to_keysym(c), level);
    if (code == 0) {
      std::fprintf(stderr, "wayland-input: no key types '%c'\n", c);
      return false;
    }
    if (level == 1) Send(shift, true);
    Send(code, true);
    Send(code, false);
    if (level == 1) Send(shift, false);
    Sync();
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
  }
  return true;
}

void Devices::Move(double dx, double dy) {
  SendMotion(pointer_, Now(), dx, dy);
  SendFrame(pointer_);
  wl_display_flush(display_);
}

bool Devices::Button(const std::string& number, bool pressed) {
  const unsigned buttons[] = {BTN_LEFT, BTN_MIDDLE, BTN_RIGHT};  // X's 1, 2, 3
  const int n = std::atoi(number.c_str());
  if (n < 1 || n > 3) {
    std::fprintf(stderr, "wayland-input: no mouse button '%s'\n", number.c_str());
    return false;
  }
  SendButton(pointer_, Now(), buttons[n - 1], pressed);
  SendFrame(pointer_);
  wl_display_flush(display_);
  return true;
}

int Usage() {
  std::fprintf(
      stderr,
      "usage: wayland-input serve SOCKET | COMMAND [ARG]... (key NAME[+NAME]..., keydown NAME, "
      "keyup NAME, type [--delay MS] TEXT, mousemove_relative [--] DX DY, mousedown N, mouseup N, "
      "sleep SECONDS)\n");
  return 2;
}

// Runs a chain of commands: 0 when all went out, 1 when one could not, 2 when they make no
// sense.
int Run(Devices& devices, const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& command = args[i];
    const auto next = [&]() -> const std::string* {
      return i + 1 < args.size() ? &args[++i] : nullptr;
    };
    const std::string* arg = next();
    if (arg == nullptr) return Usage();
    bool ok = true;
    if (command == "key") {
      ok = devices.Tap(*arg);
    } else if (command == "keydown" || command == "keyup") {
      ok = devices.Key(*arg, command == "keydown");
    } else if (command == "type") {
      int delay_ms = 12;  // xdotool's
      if (*arg == "--delay") {
        const std::string* ms = next();
        arg = ms != nullptr ? next() : nullptr;
        if (arg == nullptr) return Usage();
        delay_ms = std::atoi(ms->c_str());
      }
      ok = devices.Type(*arg, delay_ms);
    } else if (command == "mousemove_relative") {
      if (*arg == "--") arg = next();
      const std::string* dy = next();
      if (arg == nullptr || dy == nullptr) return Usage();
      devices.Move(std::atof(arg->c_str()), std::atof(dy->c_str()));
    } else if (command == "mousedown" || command == "mouseup") {
      ok = devices.Button(*arg, command == "mousedown");
    } else if (command == "sleep") {
      devices.Sync();
      std::this_thread::sleep_for(std::chrono::duration<double>(std::atof(arg->c_str())));
    } else {
      return Usage();
    }
    if (!ok) return 1;
  }
  devices.Sync();
  return 0;
}

sockaddr_un SocketAddress(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  return address;
}

// A call: its arguments, each ended by a NUL, then the end of what it sends; the answer is
// one byte, the exit status.
int Serve(Devices& devices, const std::string& path) {
  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_un address = SocketAddress(path);
  if (listener < 0 ||
      bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 8) != 0) {
    std::perror("wayland-input: serve");
    return 1;
  }
  for (;;) {
    const int call = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (call < 0) continue;
    std::string bytes;
    char buffer[4096];
    for (ssize_t got; (got = read(call, buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
    std::vector<std::string> args;
    for (std::size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos;
         start = end + 1)
      args.push_back(bytes.substr(start, end - start));
    const char status = static_cast<char>(Run(devices, args));
    (void)!write(call, &status, 1);
    close(call);
  }
}

// Hands the commands to the server at `path` and waits for it to have done them.
int Call(const std::string& path, const std::vector<std::string>& args) {
  const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_un address = SocketAddress(path);
  if (server < 0 ||
      connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    std::perror("wayland-input: no server at WAYLAND_INPUT_SOCKET");
    return 1;
  }
  std::string bytes;
  for (const std::string& arg : args) bytes += arg + '\0';
  char status = 1;
  if (write(server, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
      shutdown(server, SHUT_WR) != 0 || read(server, &status, 1) != 1)
    status = 1;
  close(server);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  const bool serve = args[0] == "serve";
  if (serve && args.size() != 2) return Usage();
  const char* server = std::getenv("WAYLAND_INPUT_SOCKET");
  if (!serve && server != nullptr && *server != '\0') return Call(server, args);
  Devices devices;
  if (!devices.Open()) return 1;
  return serve ? Serve(devices, args[1]) : Run(devices, args);
}
