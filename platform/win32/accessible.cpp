#include "platform/win32/accessible.h"

#include <objbase.h>
#include <oleacc.h>

#include <atomic>

#include "platform/win32/sdk_gaps.h"

namespace talvo::win32 {
namespace {

bool SameIid(REFIID a, const IID& b) { return IsEqualGUID(a, b) != FALSE; }

}  // namespace

struct AccessibleServer::Runtime {
  using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);
  using StdObject = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using AllocString = BSTR(WINAPI*)(const OLECHAR*);
  using Disconnect = HRESULT(WINAPI*)(IUnknown*, DWORD);

  // Handing the object to another process marshals it, which needs COM
  // here; it is left last, after the libraries that use it. It must be a
  // single-threaded apartment: there COM hands every reader's call to this
  // thread through its messages, while in a multithreaded one (another module
  // may have put the thread there first) calls would come on COM's threads,
  // beside the window procedure.
  ComApartment com{COINIT_APARTMENTTHREADED};  // entered: this thread is in one
  SystemLibrary oleaut32{L"oleaut32.dll"};
  SystemLibrary oleacc{L"oleacc.dll"};
  FromObject from_object = oleacc.Get<FromObject>("LresultFromObject");
  StdObject std_object = oleacc.Get<StdObject>("CreateStdAccessibleObject");
  AllocString alloc_string = oleaut32.Get<AllocString>("SysAllocString");
  Disconnect disconnect = com.Ole32().Get<Disconnect>("CoDisconnectObject");

  bool Ready() const {
    return com.Entered() && from_object && std_object && alloc_string && disconnect;
  }
};

// The client area and its buttons; buttons are simple elements (child ids).
// Readers may hold it after the window and the runtime are gone; from then on
// it holds nothing of them.
class ClientAccessible final : public IAccessible {
 public:
  ClientAccessible(const ControlTree& tree, AccessibleWindow& window,
                   const AccessibleServer::Runtime& runtime)
      : tree_(&tree), window_(&window), runtime_(&runtime) {}
  void Disconnect() {
    tree_ = nullptr;
    window_ = nullptr;
    runtime_ = nullptr;
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (SameIid(iid, kIidIUnknown) || SameIid(iid, kIidIDispatch) ||
        SameIid(iid, kIidIAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Counted atomically, so that the count holds whichever thread lets go.
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: readers use the IAccessible methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    return runtime_->std_object(window_->Hwnd(), OBJID_WINDOW, kIidIDispatch,
                                reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(tree_->Buttons().size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    int slot = 0;
    const HRESULT hr = Resolve(child, &slot);
    return FAILED(hr) ? hr : S_FALSE;  // simple elements have no object of their own
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    int slot = 0;
    const HRESULT hr = Resolve(child, &slot);
    if (FAILED(hr)) return hr;
    // Nothing may unwind into the reader's call.
    try {
      // The window itself by its name: the title its label shows.
      const std::u16string text = hr == S_OK ? tree_->NameOf(slot) : tree_->WindowName();
      if (text.empty()) return S_FALSE;
      *name = runtime_->alloc_string(Wide(text).c_str());
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    return *name ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return Nothing(value); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override {
    return Nothing(text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    int slot = 0;
    const HRESULT hr = Resolve(child, &slot);
    if (FAILED(hr)) return hr;
    role->vt = VT_I4;
    role->lVal = hr == S_OK ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_CLIENT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    int slot = 0;
    const HRESULT hr = Resolve(child, &slot);
    if (FAILED(hr)) return hr;
    const bool self = hr != S_OK;
    const bool keyboard = window_->HasKeyboard();
    long flags = STATE_SYSTEM_FOCUSABLE;
    if (self) {
      if (keyboard && tree_->Focus() == kNoSlot) flags |= STATE_SYSTEM_FOCUSED;
    } else {
      if (keyboard && tree_->Focus() == slot) flags |= STATE_SYSTEM_FOCUSED;
      if (tree_->Pressed() == slot) flags |= STATE_SYSTEM_PRESSED;
      if (!tree_->At(slot).Shown()) flags |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    }
    state->vt = VT_I4;
    state->lVal = flags;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return Nothing(help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (topic) *topic = 0;
    return Nothing(file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override {
    return Nothing(keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    focus->vt = VT_EMPTY;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    if (!window_->HasKeyboard()) return S_FALSE;
    focus->vt = VT_I4;
    focus->lVal = tree_->ChildIdOf(tree_->Focus());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    selection->vt = VT_EMPTY;
    return window_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!action) return E_POINTER;
    *action = nullptr;
    int slot = 0;
    const HRESULT hr = Resolve(child, &slot);
    if (hr != S_OK) return FAILED(hr) ? hr : S_FALSE;
    *action = runtime_->alloc_string(L"Press");
    return *action ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    int slot = 0;
    const HRESULT hr = Resolve(child, &slot);
    if (FAILED(hr)) return hr;
    // Buttons can take the focus, but there is nothing to select.
    if (!(flags & SELFLAG_TAKEFOCUS)) return DISP_E_MEMBERNOTFOUND;
    // The platform may refuse the keyboard to a program the user is not
    // working in; the panel's focus moves all the same, but the reader must
    // not announce a focus the keys do not reach.
    return window_->TakeFocus(hr == S_OK ? slot : kNoSlot) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    int slot = 0;
    const HRESULT hr = Resolve(child, &slot);
    if (FAILED(hr)) return hr;
    RECT box{};
    if (hr == S_OK) {
      box = tree_->BoxOf(slot);
    } else {
      GetClientRect(window_->Hwnd(), &box);
    }
    MapWindowPoints(window_->Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&box), 2);
    *left = box.left;
    *top = box.top;
    *width = box.right - box.left;
    *height = box.bottom - box.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    end->vt = VT_EMPTY;
    int slot = 0;
    const HRESULT hr = Resolve(start, &slot);
    if (FAILED(hr)) return hr;
    const long count = static_cast<long>(tree_->Buttons().size());
    long to = 0;
    const long from = hr == S_OK ? tree_->ChildIdOf(slot) : CHILDID_SELF;
    if (from == CHILDID_SELF) {
      if (direction == NAVDIR_FIRSTCHILD) to = 1;
      if (direction == NAVDIR_LASTCHILD) to = count;
    } else {
      if (direction == NAVDIR_NEXT) to = from + 1;
      if (direction == NAVDIR_PREVIOUS) to = from - 1;
    }
    if (to < 1 || to > count) return S_FALSE;
    end->vt = VT_I4;
    end->lVal = to;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    hit->vt = VT_EMPTY;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    POINT point{x, y};
    ScreenToClient(window_->Hwnd(), &point);
    RECT client{};
    GetClientRect(window_->Hwnd(), &client);
    if (!PtInRect(&client, point)) return S_FALSE;
    hit->vt = VT_I4;
    hit->lVal = tree_->ChildIdOf(tree_->HitTest(point));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    int slot = 0;
    const HRESULT hr = Resolve(child, &slot);
    if (hr != S_OK) return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
    // Not inside the reader's call: a click may end the program.
    window_->PressLater(slot);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  // S_OK and the slot for a button, S_FALSE for the client itself, an error
  // for anything else or once the window is gone.
  HRESULT Resolve(const VARIANT& child, int* slot) const {
    if (!window_) return CO_E_OBJNOTCONNECTED;
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (child.lVal == kChildSelf) return S_FALSE;
    *slot = tree_->ButtonOf(child.lVal);
    return *slot == kNoSlot ? E_INVALIDARG : S_OK;
  }
  HRESULT Nothing(BSTR* out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    return window_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
  }

  std::atomic<ULONG> references_ = 1;
  const ControlTree* tree_;
  AccessibleWindow* window_;
  const AccessibleServer::Runtime* runtime_;
};

AccessibleServer::AccessibleServer(const ControlTree& tree, AccessibleWindow& window)
    : tree_(tree), window_(window) {}

AccessibleServer::~AccessibleServer() {
  if (object_) {
    // Readers in other apartments are cut off by COM, which lets go of its
    // references; one in this apartment may still hold it, and from now on
    // it answers that the window is gone.
    IgnoreFailure(SUCCEEDED(runtime_->disconnect(object_, 0)));
    object_->Disconnect();
    object_->Release();
  }
}

LRESULT AccessibleServer::OnGetObject(WPARAM wparam, LPARAM lparam) {
  if (static_cast<DWORD>(lparam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
  if (!runtime_) runtime_ = std::make_unique<Runtime>();
  if (!runtime_->Ready()) return 0;
  if (!object_) object_ = new ClientAccessible(tree_, window_, *runtime_);
  return runtime_->from_object(kIidIAccessible, wparam, object_);
}

void AccessibleServer::NotifyFocus(Slot slot) const {
  NotifyWinEvent(EVENT_OBJECT_FOCUS, window_.Hwnd(), OBJID_CLIENT, tree_.ChildIdOf(slot));
}

void AccessibleServer::NotifyPressed(Slot released, Slot pressed) const {
  if (released == pressed || !window_.Hwnd()) return;
  for (const Slot slot : {released, pressed}) {
    if (const ChildId id = tree_.ChildIdOf(slot); id != kChildSelf) {
      NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_.Hwnd(), OBJID_CLIENT, id);
    }
  }
}

}  // namespace talvo::win32
