#include "platform/windows/wmi_port_names.h"

#include <wbemidl.h>

#include <cstdint>
#include <cstdio>

#include "device/port_name_rules.h"
#include "platform/windows/utf8_arguments.h"

namespace kelvane {

namespace {

// A device name in the system's ANSI code page, as the scan's rules read it.
std::string ansiOf(BSTR text) {
    return narrowText(text, static_cast<int>(SysStringLen(text)), CP_ACP);
}

// A text property that is ASCII by its nature (a class id, a device id), any other
// character kept as "?"; empty when the property is not text.
std::string asciiProperty(PlugAndPlayQuery& query, const wchar_t* property) {
    VARIANT value;
    VariantInit(&value);
    query.readProperty(property, value);
    std::string text;
    if (value.vt == VT_BSTR && value.bstrVal != nullptr) {
        for (const wchar_t* c = value.bstrVal; *c != 0; ++c) {
            text.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
        }
    }
    VariantClear(&value);
    return text;
}

// The device's problem code: 0 when its driver works, or when WMI does not say.
std::uint32_t problemCode(PlugAndPlayQuery& query) {
    VARIANT value;
    VariantInit(&value);
    query.readProperty(L"ConfigManagerErrorCode", value);
    std::uint32_t code = 0;
    if (value.vt == VT_I4 || value.vt == VT_UI4) {
        code = static_cast<std::uint32_t>(value.lVal);
    }
    VariantClear(&value);
    return code;
}

template <typename Interface>
void release(Interface*& held) {
    if (held) {
        held->Release();
        held = nullptr;
    }
}

// The real query: COM and the WMI interfaces, in process.
class ComPlugAndPlayQuery final : public PlugAndPlayQuery {
  public:
    ~ComPlugAndPlayQuery() override { releaseAll(); }

    HRESULT initializeCom() override { return CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    void uninitializeCom() override { CoUninitialize(); }
    HRESULT initializeSecurity() override {
        return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_CONNECT,
                                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    }
    HRESULT createLocator() override {
        return CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(&locator_));
    }
    HRESULT connect() override {
        BSTR path = SysAllocString(L"\\\\.\\root\\cimv2");
        const HRESULT result = locator_->ConnectServer(path, nullptr, nullptr, nullptr, 0, nullptr,
                                                       nullptr, &services_);
        SysFreeString(path);
        return result;
    }
    HRESULT setProxyBlanket() override {
        return CoSetProxyBlanket(services_, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                 RPC_C_AUTHN_LEVEL_CONNECT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                                 EOAC_NONE);
    }
    HRESULT enumerateDevices() override {
        BSTR className = SysAllocString(L"Win32_PnPEntity");
        const HRESULT result = services_->CreateInstanceEnum(className, 0, nullptr, &enumerator_);
        SysFreeString(className);
        return result;
    }
    bool nextDevice() override {
        release(device_);
        if (!enumerator_) {
            return false;
        }
        ULONG returned = 0;
        enumerator_->Next(static_cast<long>(WBEM_INFINITE), 1, &device_, &returned);
        if (returned == 0) {
            device_ = nullptr;
            return false;
        }
        return true;
    }
    void readProperty(const wchar_t* property, VARIANT& value) override {
        BSTR name = SysAllocString(property);
        device_->Get(name, 0, &value, nullptr, nullptr);
        SysFreeString(name);
    }
    void releaseAll() override {
        release(enumerator_);
        release(services_);
        release(locator_);
        release(device_);
    }

  private:
    IWbemLocator* locator_ = nullptr;
    IWbemServices* services_ = nullptr;
    IEnumWbemClassObject* enumerator_ = nullptr;
    IWbemClassObject* device_ = nullptr;
};

}  // namespace

std::string hresultText(HRESULT result) {
    char text[9];
    std::snprintf(text, sizeof text, "%08lX",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(result)));
    return text;
}

WmiPortNames::WmiPortNames() : query_(std::make_unique<ComPlugAndPlayQuery>()) {}

WmiPortNames::~WmiPortNames() {
    releaseAndUninitialize();
}

void WmiPortNames::releaseAndUninitialize() {
    query_->releaseAll();
    // Only an initialization this object made is ended: when the thread was already in
    // another apartment, CoInitializeEx failed and the other owner's COM stays up.
    if (comInitialized_) {
        query_->uninitializeCom();
        comInitialized_ = false;
    }
}

PortNameListing WmiPortNames::listNames() {
    releaseAndUninitialize();
    // The result is not checked: the steps below report what a failure here leads to.
    comInitialized_ = SUCCEEDED(query_->initializeCom());

    PortNameListing listing;
    const auto failed = [&](HRESULT result, const char* message) {
        if (SUCCEEDED(result)) {
            return false;
        }
        listing.error = message + hresultText(result);
        return true;
    };
    // Security is set once per process: a second Start finds it set (RPC_E_TOO_LATE),
    // which is what the call asks for, and lists the ports again.
    const HRESULT security = query_->initializeSecurity();
    if (failed(security == RPC_E_TOO_LATE ? S_OK : security,
               "Failed to initialize security. Error code = ") ||
        failed(query_->createLocator(), "Failed to create IWbemLocator object. Err code = ") ||
        failed(query_->connect(), "Could not connect. Error code = ") ||
        failed(query_->setProxyBlanket(), "Could not set proxy blanket. Error code = ")) {
        releaseAndUninitialize();
        return listing;
    }
    if (query_->enumerateDevices() != S_OK) {
        listing.error = "Error";
        releaseAndUninitialize();
        return listing;
    }
    while (query_->nextDevice()) {
        VARIANT name;
        VariantInit(&name);
        query_->readProperty(L"Name", name);
        // Empty and null names (and anything else that is not text) are skipped.
        if (name.vt == VT_BSTR) {
            const std::string deviceId = asciiProperty(*query_, L"PNPDeviceID");
            const bool usbSerial = isUsbSerialPort(asciiProperty(*query_, L"ClassGuid"), deviceId);
            listing.names.push_back({ansiOf(name.bstrVal), usbSerial, problemCode(*query_),
                                     usbIdsOfDeviceId(deviceId)});
        }
        VariantClear(&name);
    }
    return listing;
}

}  // namespace kelvane
