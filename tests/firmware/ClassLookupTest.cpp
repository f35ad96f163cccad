// On the thread that loaded the library, the portable-device classes are looked up once for the
// library's life (each lookup reads the registry), and their class objects are let go at unload.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "firmware/FirmwareState.h"
#include "firmware/Gantrel.h"
#include "library/util/ScopedCom.h"
#include "platform/wpd/PortableDevice.h"
#include "tests/firmware/FirmwareTestSupport.h"

namespace {

// Stands in the device manager's class object for this apartment: counts how often COM asks it
// for its factory interface (one lookup each) and has the registered class make the objects.
class CCountingManagerFactory : public IClassFactory {
public:
    explicit CCountingManagerFactory(IClassFactory* real) : real_(real) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        if (IsEqualIID(iid, IID_IClassFactory)) ++lookups;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        return real_->CreateInstance(outer, iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override { return real_->LockServer(lock); }

    int lookups = 0;
    ULONG references = 1;

private:
    IClassFactory* real_;
};

class ClassLookupTest : public FirmwareTest {};

}  // namespace

TEST_F(ClassLookupTest, TheLoadingThreadLooksTheManagerUpOnceAndLetsItGoAtUnload) {
    AddMtpPlayer(MtpDeviceId(kMtpProduct, L"ONE"), "SERIAL1");
    const std::wstring image = Image(L"fw.bin", 4096);
    CScopedComPtr<IClassFactory> real;
    ASSERT_EQ(S_OK, CoGetClassObject(CLSID_PortableDeviceManager, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                     reinterpret_cast<void**>(real.Receive())));
    CCountingManagerFactory counting(real.Get());
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_PortableDeviceManager, &counting, CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &cookie));
    const ULONG registered = counting.references;

    EXPECT_EQ(0, GetDevices());
    EXPECT_EQ(0, GetDevices());
    EXPECT_EQ(0, CopyFirmwareBinary(kVendor, kMtpProduct, L"SERIAL1", image.c_str(), L"\\fw.bin", FALSE));
    int count = 0;
    EXPECT_EQ(0, GetDeviceCount(&count));
    EXPECT_EQ(1, count) << "the manager the library keeps still finds the player";
    EXPECT_EQ(1, counting.lookups);
    EXPECT_GT(counting.references, registered) << "the library keeps the class object";

    DetachFirmwareLibrary();
    EXPECT_EQ(registered, counting.references);
    AttachFirmwareLibrary();
    EXPECT_EQ(0, GetDevices());
    EXPECT_EQ(2, counting.lookups) << "a new load looks the class up again";
    DetachFirmwareLibrary();
    EXPECT_EQ(registered, counting.references);
    AttachFirmwareLibrary();
    CoRevokeClassObject(cookie);
}
