#pragma once
// The update checker's values below "Software\<company>\<product>[\<sub-key>]". Reads look under
// the selected root first and then under HKEY_LOCAL_MACHINE; writes create the key as needed.

#include <windows.h>

#include <string>

// 0 or more selects HKEY_LOCAL_MACHINE, a negative value HKEY_CURRENT_USER; values of 1000 or more
// are refused (false). One selector for the whole process.
bool SetRegistryRootSelector(int selector);
int RegistryRootSelector();

class CRegistryAccessor {
public:
    CRegistryAccessor(std::wstring company, std::wstring product) : m_company(std::move(company)), m_product(std::move(product)) {}

    // "Software\company\product", then "\subKey" when it is not empty.
    std::wstring KeyPath(const std::wstring& subKey) const;
    // False when the value is missing or not a string; `value` is then untouched.
    bool ReadString(const std::wstring& subKey, const wchar_t* name, std::wstring* value) const;
    // `name` null writes the key's default value; `flush` waits until the value is on disk.
    HRESULT WriteString(const std::wstring& subKey, const wchar_t* name, const std::wstring& value,
                        bool flush = false) const;

private:
    std::wstring m_company;
    std::wstring m_product;
};
