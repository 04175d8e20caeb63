#include "wizard/win32/HelpViewerWindow.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

#include "app/AppTexts.h"
#include "app/RunLog.h"
#include "download/win32/WorkerThread.h"
#include "platform/TextFormat.h"
#include "wizard/HelpViewerTexts.h"
#include "wizard/win32/HelpViewerRes.h"

namespace {

std::wstring wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

// A BSTR owned for the length of a call.
class Bstr {
public:
    explicit Bstr(const std::wstring& text) : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

// The viewer's initial document: the program's own HTML resource.
std::wstring initialDocumentUrl() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return L"res://" + std::wstring(module) + L"/" + std::to_wstring(IDR_HELP_INITIAL_DOCUMENT);
}

}  // namespace

// The container side of the embedding: client site, in-place site and frame in one object that lives as long
// as the viewer (the browser's references to it never outlive the viewer, which closes the browser first).
class DHTMLHelp::Site : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    explicit Site(DHTMLHelp& owner) : owner_(owner) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *object = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *object = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *object = static_cast<IOleInPlaceFrame*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (both the site and the frame answer with the viewer's window)
    STDMETHODIMP GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = owner_.window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !position || !clip || !info) return E_POINTER;
        *frame = this;
        *document = nullptr;
        GetClientRect(owner_.window_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = owner_.window_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT position) override {
        IOleInPlaceObject* inPlace = nullptr;
        if (position && owner_.object_ &&
            SUCCEEDED(owner_.object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
            inPlace->SetObjectRects(position, position);
            inPlace->Release();
        }
        return S_OK;
    }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no menus, tool bars or status bar to share.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    DHTMLHelp& owner_;
};

// A plain dispatch object whose default call runs one action: the browser's events, and the click handlers
// of the document's elements.
class DispatchBase : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || accepts(iid)) {
            *object = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Owned by the viewer, which disconnects every user before it goes.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

protected:
    virtual bool accepts(REFIID) { return false; }
    virtual ~DispatchBase() = default;
};

class DHTMLHelp::Events : public DispatchBase {
public:
    explicit Events(DHTMLHelp& owner) : owner_(owner) {}
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        try {
            if (id == DISPID_DOCUMENTCOMPLETE) owner_.documentComplete();
        } catch (...) {
            download::win32::debugLine("DHTMLHelp::Events::Invoke", "an exception was stopped at a browser event");
        }
        return S_OK;
    }

protected:
    bool accepts(REFIID iid) override { return iid == DIID_DWebBrowserEvents2; }

private:
    DHTMLHelp& owner_;
};

class DHTMLHelp::Click : public DispatchBase {
public:
    explicit Click(DHTMLHelp& owner) : owner_(owner) {}
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id == DISPID_VALUE) owner_.close();
        return S_OK;
    }

private:
    DHTMLHelp& owner_;
};

DHTMLHelp::DHTMLHelp()
    : site_(std::make_unique<Site>(*this)),
      events_(std::make_unique<Events>(*this)),
      clickOk_(std::make_unique<Click>(*this)),
      clickCancel_(std::make_unique<Click>(*this)) {}

DHTMLHelp::~DHTMLHelp() {
    releaseBrowser();
    if (window_) DestroyWindow(window_);
}

bool DHTMLHelp::create() {
    window_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_HELP), nullptr, dialogProc,
                                 reinterpret_cast<LPARAM>(this));
    if (!window_) {
        runlog::line(text::format(helptexts::NoBrowserControlLog, "the window could not be created"));
        return false;
    }
    std::string failure;
    if (!embedBrowser(&failure)) {
        runlog::line(text::format(helptexts::NoBrowserControlLog, failure.c_str()));
        releaseBrowser();
        return false;
    }
    return true;
}

bool DHTMLHelp::embedBrowser(std::string* failure) {
    HRESULT hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(&object_));
    if (FAILED(hr) || !object_) {
        object_ = nullptr;
        *failure = text::format("CoCreateInstance 0x%08lX", static_cast<unsigned long>(hr));
        return false;
    }
    if (FAILED(hr = object_->SetClientSite(site_.get()))) {
        *failure = text::format("SetClientSite 0x%08lX", static_cast<unsigned long>(hr));
        return false;
    }
    OleSetContainedObject(object_, TRUE);
    RECT client;
    GetClientRect(window_, &client);
    if (FAILED(hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, window_, &client))) {
        *failure = text::format("DoVerb 0x%08lX", static_cast<unsigned long>(hr));
        return false;
    }
    if (FAILED(hr = object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_))) || !browser_) {
        browser_ = nullptr;
        *failure = text::format("IWebBrowser2 0x%08lX", static_cast<unsigned long>(hr));
        return false;
    }
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
        IConnectionPoint* point = nullptr;
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
            if (FAILED(point->Advise(events_.get(), &eventsCookie_))) eventsCookie_ = 0;
            point->Release();
        }
        container->Release();
    }
    browser_->put_Silent(VARIANT_TRUE);
    placeBrowser();
    Bstr url(initialDocumentUrl());
    if (FAILED(hr = browser_->Navigate(url.get(), nullptr, nullptr, nullptr, nullptr))) {
        *failure = text::format("Navigate 0x%08lX", static_cast<unsigned long>(hr));
        return false;
    }
    return true;
}

void DHTMLHelp::releaseBrowser() {
    if (browser_) {
        if (eventsCookie_) {
            IConnectionPointContainer* container = nullptr;
            if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer,
                                                   reinterpret_cast<void**>(&container)))) {
                IConnectionPoint* point = nullptr;
                if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
                    point->Unadvise(eventsCookie_);
                    point->Release();
                }
                container->Release();
            }
            eventsCookie_ = 0;
        }
        browser_->Stop();
        browser_->Release();
        browser_ = nullptr;
    }
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_->Release();
        object_ = nullptr;
    }
}

void DHTMLHelp::placeBrowser() {
    if (!object_ || !window_) return;
    RECT client;
    GetClientRect(window_, &client);
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
        inPlace->SetObjectRects(&client, &client);
        inPlace->Release();
    }
}

void DHTMLHelp::navigate(const std::string& address) {
    if (!browser_) return;
    Bstr url(wide(address));
    VARIANT flags;
    VariantInit(&flags);
    flags.vt = VT_I4;
    flags.lVal = navNoReadFromCache;
    browser_->Navigate(url.get(), &flags, nullptr, nullptr, nullptr);
}

int DHTMLHelp::readyState() {
    READYSTATE state = READYSTATE_UNINITIALIZED;
    if (!browser_ || FAILED(browser_->get_ReadyState(&state))) return -1;
    return static_cast<int>(state);
}

void DHTMLHelp::refresh() {
    if (browser_) browser_->Refresh();
}

void DHTMLHelp::showAndFocus() {
    if (!window_) return;
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(window_);
}

void DHTMLHelp::close() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

void DHTMLHelp::documentComplete() {
    if (!browser_) return;
    IDispatch* documentDispatch = nullptr;
    if (FAILED(browser_->get_Document(&documentDispatch)) || !documentDispatch) return;
    IHTMLDocument3* document = nullptr;
    if (SUCCEEDED(documentDispatch->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void**>(&document)))) {
        const struct {
            const wchar_t* id;
            Click* handler;
        } buttons[] = {{L"ButtonOK", clickOk_.get()}, {L"ButtonCancel", clickCancel_.get()}};
        for (const auto& button : buttons) {
            Bstr id(button.id);
            IHTMLElement* element = nullptr;
            if (SUCCEEDED(document->getElementById(id.get(), &element)) && element) {
                VARIANT handler;
                VariantInit(&handler);
                handler.vt = VT_DISPATCH;
                handler.pdispVal = button.handler;
                element->put_onclick(handler);
                element->Release();
            }
        }
        document->Release();
    }
    documentDispatch->Release();
}

INT_PTR CALLBACK DHTMLHelp::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<DHTMLHelp*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->window_ = window;
            SetWindowTextA(window, text::format(helptexts::CaptionFormat, apptexts::InstallerTitle).c_str());
            SendMessageA(window, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION))));
            return TRUE;
        }
        auto* self = reinterpret_cast<DHTMLHelp*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        return self ? self->handle(message, wParam, lParam) : FALSE;
    } catch (...) {
        download::win32::debugLine("DHTMLHelp::dialogProc", "an exception was stopped at the help viewer's window");
        return FALSE;
    }
}

INT_PTR DHTMLHelp::handle(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_SIZE:
        placeBrowser();
        return TRUE;
    case WM_CLOSE:
        close();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            close();
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        window_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

std::unique_ptr<wizard::HelpViewerWindow> Win32HelpSystem::makeViewer() { return std::make_unique<DHTMLHelp>(); }

void Win32HelpSystem::wait(unsigned milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

bool Win32HelpSystem::openWithSystem(const std::string& address) {
    // The shell drops (or misreads) the anchor of a file: address handed to its "open" verb, so the handler of
    // web pages is asked for its command and started with the whole address; the shell's verb is what is left
    // when there is no such command.
    char command[2048] = {};
    DWORD size = sizeof(command);
    if (SUCCEEDED(AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, ".htm", "open", command, &size))) {
        std::string line = command;
        // Further arguments a handler may ask for (%*, %2, ...) get nothing.
        for (std::size_t percent = line.find('%'); percent != std::string::npos && percent + 1 < line.size();
             percent = line.find('%', percent)) {
            const char next = line[percent + 1];
            if (next == '*' || (next >= '2' && next <= '9'))
                line.erase(percent, 2);
            else
                ++percent;
        }
        std::size_t slot = line.find("%1");
        if (slot == std::string::npos) slot = line.find("%L");
        if (slot != std::string::npos)
            line.replace(slot, 2, address);
        else
            line += " \"" + address + "\"";
        std::vector<char> mutableLine(line.begin(), line.end());
        mutableLine.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            return true;
        }
    }
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner_;
    info.lpVerb = "open";
    info.lpFile = address.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}
