// The Task Scheduler through its COM interface. The task's XML goes to the
// scheduler in memory: a file would give any program of the same user the
// chance to change it before an elevated task is made of it.
#include <windows.h>
#include <taskschd.h>

#include <string>

#include "platform/RealTaskScheduler.h"
#include "platform/Utf8.h"

namespace platform {

namespace {

// A BSTR for the length of one call.
class Bstr {
 public:
  explicit Bstr(const std::wstring& text) : value_(::SysAllocString(text.c_str())) {}
  ~Bstr() { ::SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  operator BSTR() const { return value_; }

 private:
  BSTR value_;
};

template <class Interface>
void Release(Interface*& object) {
  if (object != nullptr) object->Release();
  object = nullptr;
}

// Runs `work` on the scheduler's root folder, on the local machine, as the
// user running the program. The outcome's HRESULT becomes the last error.
template <class Work>
BOOL WithRootFolder(Work work) {
  // RPC_E_CHANGED_MODE: COM is already up on this thread in the other
  // model, which serves as well; only a successful start is undone.
  const HRESULT started = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ITaskService* service = nullptr;
  ITaskFolder* root = nullptr;
  VARIANT none;
  ::VariantInit(&none);
  HRESULT result = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ITaskService, reinterpret_cast<void**>(&service));
  if (SUCCEEDED(result)) result = service->Connect(none, none, none, none);
  if (SUCCEEDED(result)) result = service->GetFolder(Bstr(L"\\"), &root);
  if (SUCCEEDED(result)) result = work(root);
  Release(root);
  Release(service);
  if (SUCCEEDED(started)) ::CoUninitialize();
  ::SetLastError(static_cast<DWORD>(result));
  return SUCCEEDED(result) ? TRUE : FALSE;
}

}  // namespace

BOOL RealRegisterTask(const char* name, const char* xml) {
  return WithRootFolder([&](ITaskFolder* root) {
    VARIANT none;
    ::VariantInit(&none);
    // The principal is the definition's: the system, which needs no password
    // and runs whoever is logged on, and before anyone is.
    Bstr system(L"S-1-5-18");
    VARIANT user;
    ::VariantInit(&user);
    user.vt = VT_BSTR;
    user.bstrVal = system;
    IRegisteredTask* task = nullptr;
    const HRESULT result =
        root->RegisterTask(Bstr(WideFromUtf8(name)), Bstr(WideFromUtf8(xml)),
                           TASK_CREATE_OR_UPDATE, user, none, TASK_LOGON_SERVICE_ACCOUNT, none,
                           &task);
    Release(task);
    return result;
  });
}

BOOL RealDeleteTask(const char* name) {
  return WithRootFolder([&](ITaskFolder* root) { return root->DeleteTask(Bstr(WideFromUtf8(name)), 0); });
}

}  // namespace platform
