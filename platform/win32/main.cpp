// Program start: the platform builds mainform from its definition, runs its
// load handler and then waits for window events.
#include "platform/win32/win32.h"  // before the other Windows headers

#include <commctrl.h>
#include <objbase.h>

#include <vector>

#include "image_store/subset.h"
#include "main_window/mainform.h"
#include "platform/win32/picture.h"
#include "platform/win32/system.h"
#include "platform/win32/window.h"

namespace talvo::win32 {
namespace {

// Routes the realised controls' events to mainform's handlers. Only the room
// buttons, the exit button and the caption label have handlers.
class FormEvents final : public EventSink {
 public:
  void Bind(mainform& form) { form_ = &form; }

  void Click(int slot) override {
    if (!form_) return;
    if (slot == def::kToDo0) {
      form_->ToDo_Click(0);
      return;
    }
    for (std::int16_t index = 0; index < 6; ++index) {
      if (slot == def::RoomSelectSlot(index)) form_->RoomSelect_Click(index);
    }
  }

  void LabelMouse(int slot, Mouse what, int button, int shift, float x, float y) override {
    if (!form_ || slot != def::kMeCaption) return;
    switch (what) {
      case Mouse::Down:
        form_->meCaption_MouseDown(button, shift, x, y);
        break;
      case Mouse::Move:
        form_->meCaption_MouseMove(button, shift, x, y);
        break;
      case Mouse::Up:
        form_->meCaption_MouseUp(button, shift, x, y);
        break;
    }
  }

  void LabelCaptureLost(int slot) override {
    if (form_ && slot == def::kMeCaption) form_->meCaption_CaptureLost();
  }

 private:
  mainform* form_ = nullptr;
};

// Load libraries from the system folder only, never from the current one.
// Looked up at run time: Windows 7 has it only with an update installed.
void RestrictDllSearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!set || !set(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  bool Ok() const { return ok_; }

 private:
  bool ok_;
};

int Run() {
  RestrictDllSearch();
  // Declared first so that every picture is released before COM goes.
  ComApartment com;
  if (!com.Ok()) return 1;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  FormEvents events;
  MainWindow window(events);
  Win32Files files;
  Win32System system;
  system.SetMainWindow(window.Hwnd());
  std::vector<HWND> tab_order;
  for (int slot : def::TabStops()) tab_order.push_back(window.HwndOf(slot));
  system.SetTabOrder(std::move(tab_order));
  ResourcePictureLoader pictures;
  SubSetInstance subset(pictures);
  mainform form(window, files, system, subset);
  events.Bind(form);

  form.Form_Load();
  // The start window is shown once loading is done (it usually is already).
  if (!IsWindowVisible(window.Hwnd())) ShowWindow(window.Hwnd(), SW_SHOWNOACTIVATE);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) system.Dispatch(msg);
  return static_cast<int>(msg.wParam);
}

}  // namespace
}  // namespace talvo::win32

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    return talvo::win32::Run();
  } catch (...) {
    return 1;  // out of memory while building the window
  }
}
