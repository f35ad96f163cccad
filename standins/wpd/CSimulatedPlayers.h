#pragma once

#include "platform/wpd/PortableDeviceApi.h"
#include "standins/wpd/ComObject.h"

#include <map>
#include <string>
#include <vector>

namespace standin {

// What a test tells the stand-in about a player it attaches.
struct SimDeviceConfig {
    std::wstring id;            // Plug and Play identifier
    std::wstring friendlyName;
    std::wstring manufacturer;
    std::wstring description;
    std::wstring protocol;      // "MTP: 1.0" for a player
    std::wstring folder;        // local folder that holds the storage's files
    std::wstring storageName;
    ULONGLONG capacity = 0;
};

// How a player answers vendor operations: the extension description and operation codes it
// reports, the data of its Get Device Info operation and the response code it ends it with.
struct SimVendorConfig {
    std::wstring extensionDescription;
    std::vector<WORD> opcodes;
    std::vector<BYTE> deviceInfo;
    DWORD responseCode = 0x2001;
};

// One vendor operation a player received.
struct SimOperation {
    DWORD opcode = 0;
    std::vector<DWORD> params;
};

// Faults a test can arm; each hits the Nth matching call from the moment it is armed.
enum class Fault : int { Open = 1, Write = 2, Commit = 3, Rename = 4, DiskFull = 5, kCount = 6 };

// The simulated MTP players of the process: their object trees, the object data in each player's
// folder, and the armed faults. Every COM object of the stand-in goes through it under one lock.
class CSimulatedPlayers {
public:
    static CSimulatedPlayers& Instance();

    // Attaching a known id again brings its player back with the content it had.
    HRESULT Attach(const SimDeviceConfig& config);
    HRESULT Detach(const std::wstring& id);
    // Detaches every player, forgets their content and disarms every fault.
    void Reset();
    void ArmFault(Fault fault, LONG nthCall, HRESULT failure);
    // Counts one call of the kind; true (with the failure to answer) when it is the armed one.
    bool TakeFault(Fault fault, HRESULT* failure);

    HRESULT SetVendor(const std::wstring& id, const SimVendorConfig& vendor);
    bool Vendor(const std::wstring& id, SimVendorConfig* vendor);
    void RecordOperation(const std::wstring& id, const SimOperation& operation);
    std::vector<SimOperation> Operations(const std::wstring& id);

    std::vector<std::wstring> AttachedIds();
    bool IsAttached(const std::wstring& id);
    enum class Text { FriendlyName, Description, Manufacturer };
    bool DeviceText(const std::wstring& id, Text which, std::wstring* text);

    HRESULT Children(const std::wstring& device, const std::wstring& parent, std::vector<std::wstring>* ids);
    HRESULT GetValues(const std::wstring& device, const std::wstring& object, IPortableDeviceKeyCollection* keys,
                      IPortableDeviceValues** values);
    HRESULT SetValues(const std::wstring& device, const std::wstring& object, IPortableDeviceValues* values,
                      IPortableDeviceValues** results);
    // Makes a new object; dataFile (empty for an object without data) is a file of the player's
    // store, from NewDataFile, that becomes the object's data where it is.
    HRESULT CreateObject(const std::wstring& device, IPortableDeviceValues* values, const std::wstring& dataFile,
                         ULONGLONG dataSize, std::wstring* objectId);
    HRESULT Delete(const std::wstring& device, const std::wstring& object, bool recursive);
    HRESULT DataFile(const std::wstring& device, const std::wstring& object, std::wstring* path);
    HRESULT FreeSpace(const std::wstring& device, ULONGLONG* bytes);
    // A fresh file name in the player's store for the data of an upload in progress.
    HRESULT NewDataFile(const std::wstring& device, std::wstring* path);
    // S_OK when the object exists and can hold children: a player refuses an upload into
    // anything else before any data moves.
    HRESULT CheckParent(const std::wstring& device, const std::wstring& parent);

private:
    struct SimObject {
        std::wstring parent;
        CScopedComPtr<IPortableDeviceValues> properties;
        std::wstring dataPath;  // empty for folders and property-only objects
        ULONGLONG size = 0;
        bool container = false;
        std::vector<std::wstring> children;
    };
    struct SimDevice {
        SimDeviceConfig config;
        bool attached = false;
        std::map<std::wstring, SimObject> objects;
        std::wstring storageId;
        ULONGLONG used = 0;
        SimVendorConfig vendor;
        std::vector<SimOperation> operations;
        unsigned nextId = 1;
        unsigned nextDataFile = 1;
    };
    struct ArmedFault {
        LONG remaining = 0;
        HRESULT failure = S_OK;
    };

    CSimulatedPlayers();
    ~CSimulatedPlayers();
    SimDevice* Attached(const std::wstring& id);
    SimObject* Object(SimDevice& device, const std::wstring& id);
    bool CanHoldChildren(SimDevice& device, const std::wstring& parentId);
    HRESULT Populate(SimDevice& device);
    HRESULT ImportFolder(SimDevice& device, const std::wstring& parentId, const std::wstring& folder, int depth);
    std::wstring AddObject(SimDevice& device, const std::wstring& parentId, IPortableDeviceValues* properties,
                           bool container);
    void RemoveTree(SimDevice& device, const std::wstring& id);
    ULONGLONG FreeBytes(const SimDevice& device);
    std::wstring StoreFolder(const SimDevice& device) const;

    CRITICAL_SECTION lock_;
    std::map<std::wstring, SimDevice> devices_;
    std::vector<std::wstring> order_;  // attach order, the order the manager lists players in
    ArmedFault faults_[static_cast<int>(Fault::kCount)];
};

}  // namespace standin
