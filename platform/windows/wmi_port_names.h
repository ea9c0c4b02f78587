// The Windows port list: every Plug and Play device name, as Windows Management
// Instrumentation reports it in Win32_PnPEntity, in WMI's order, with whether the
// device is a serial port on USB (its class and device id) and its driver's problem
// code. The scan's rules pick the USB-to-serial adapter and its COM number from
// these; the port opens "COM5" or "\\.\COM12" by that very name.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <oleauto.h>

#include <memory>

#include "link/port_list.h"

namespace kelvane {

// The COM and WMI steps of one listing. Each step's result is the HRESULT of its
// call; the query holds the interfaces the steps obtain until releaseAll().
class PlugAndPlayQuery {
  public:
    virtual ~PlugAndPlayQuery() = default;
    virtual HRESULT initializeCom() = 0;       // CoInitializeEx, multithreaded
    virtual void uninitializeCom() = 0;        // CoUninitialize
    virtual HRESULT initializeSecurity() = 0;  // CoInitializeSecurity
    virtual HRESULT createLocator() = 0;       // the IWbemLocator
    virtual HRESULT connect() = 0;             // its services of \\.\root\cimv2
    virtual HRESULT setProxyBlanket() = 0;     // the services' security
    virtual HRESULT enumerateDevices() = 0;    // the enumerator of Win32_PnPEntity
    // The enumerator's next device; false when there is none left.
    virtual bool nextDevice() = 0;
    // A property of the current device ("Name", "ClassGuid", "PNPDeviceID",
    // "ConfigManagerErrorCode") into `value`, left empty when it cannot be read.
    virtual void readProperty(const wchar_t* property, VARIANT& value) = 0;
    // Releases every interface held: enumerator, services, locator, current device.
    virtual void releaseAll() = 0;
};

// An HRESULT as the listing's messages show it: eight upper-case hex digits, no prefix.
std::string hresultText(HRESULT result);

class WmiPortNames final : public PortNameSource {
  public:
    WmiPortNames();  // the real query
    explicit WmiPortNames(std::unique_ptr<PlugAndPlayQuery> query) : query_(std::move(query)) {}
    ~WmiPortNames() override;
    WmiPortNames(const WmiPortNames&) = delete;
    WmiPortNames& operator=(const WmiPortNames&) = delete;

    // Must be called on one thread throughout: COM is initialized per thread.
    PortNameListing listNames() override;
    std::string resolve(const std::string& portName) const override { return portName; }

  private:
    // Releases the interfaces and ends this object's COM initialization, if any.
    void releaseAndUninitialize();

    std::unique_ptr<PlugAndPlayQuery> query_;
    bool comInitialized_ = false;
};

}  // namespace kelvane
