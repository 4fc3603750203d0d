#include "link/udev_port_source.h"

#include <libudev.h>
#include <string_view>
#include <utility>

namespace konfigor {
namespace {

constexpr std::string_view kVendorId = "04d8";
constexpr std::string_view kProductId = "ff0c";
constexpr std::string_view kDeviceFolder = "/dev/";

struct ReleaseDevice {
    void operator()(udev_device* device) const { udev_device_unref(device); }
};
using Device = std::unique_ptr<udev_device, ReleaseDevice>;

struct ReleaseEnumerate {
    void operator()(udev_enumerate* enumerate) const { udev_enumerate_unref(enumerate); }
};
using Enumerate = std::unique_ptr<udev_enumerate, ReleaseEnumerate>;

std::string_view orEmpty(const char* text) {
    return text != nullptr ? std::string_view{text} : std::string_view{};
}

std::string syspathOf(udev_device* device) {
    return std::string{orEmpty(udev_device_get_syspath(device))};
}

// sysfs writes hexadecimal identifiers in lower case, but nothing promises it.
bool sameIdentifier(std::string_view value, std::string_view wanted) {
    if (value.size() != wanted.size())
        return false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        auto lower =
            value[i] >= 'A' && value[i] <= 'Z' ? static_cast<char>(value[i] - 'A' + 'a') : value[i];
        if (lower != wanted[i])
            return false;
    }
    return true;
}

// The USB device behind a tty, when it is a programming interface; else nullptr. The parent
// belongs to the child: not unreferenced here.
udev_device* interfaceDeviceOf(udev_device* tty) {
    auto* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
    if (usb == nullptr ||
        !sameIdentifier(orEmpty(udev_device_get_sysattr_value(usb, "idVendor")), kVendorId) ||
        !sameIdentifier(orEmpty(udev_device_get_sysattr_value(usb, "idProduct")), kProductId))
        return nullptr;
    return usb;
}

// A quick re-plug may get another node (ttyACM1 while ttyACM0 is still held open); the serial
// number, else the USB port, still tells the same interface. The kernel's attribute rather
// than udev's ID_SERIAL_SHORT, which is missing until udev's rules have run.
std::string identityOf(udev_device* usb) {
    auto serial = orEmpty(udev_device_get_sysattr_value(usb, "serial"));
    if (!serial.empty())
        return "serial:" + std::string{serial};
    return syspathOf(usb);
}

std::string displayNameOf(std::string_view node) {
    if (node.starts_with(kDeviceFolder))
        node.remove_prefix(kDeviceFolder.size());
    return std::string{node};
}

std::optional<InterfacePort> interfacePortOf(udev_device* tty) {
    auto node = orEmpty(udev_device_get_devnode(tty));
    if (orEmpty(udev_device_get_subsystem(tty)) != "tty" || node.empty())
        return std::nullopt;
    auto* usb = interfaceDeviceOf(tty);
    if (usb == nullptr)
        return std::nullopt;
    return InterfacePort{
        .path = std::string{node}, .displayName = displayNameOf(node), .identity = identityOf(usb)};
}

} // namespace

void UdevPortSource::Release::operator()(udev* context) const {
    udev_unref(context);
}

void UdevPortSource::Release::operator()(udev_monitor* monitor) const {
    udev_monitor_unref(monitor);
}

std::unique_ptr<UdevPortSource> UdevPortSource::create() {
    Context context{udev_new()};
    if (!context)
        return nullptr;
    // Events after udev's rules ran: the node exists then, with its group and symlink.
    Monitor monitor{udev_monitor_new_from_netlink(context.get(), "udev")};
    if (!monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor.get()) < 0)
        return nullptr;
    return std::unique_ptr<UdevPortSource>{
        new UdevPortSource{std::move(context), std::move(monitor)}};
}

UdevPortSource::UdevPortSource(Context context, Monitor monitor)
    : context_(std::move(context)), monitor_(std::move(monitor)) {
    // The monitor already listens, so a device that arrives during this first listing is
    // reported afterwards instead of being missed.
    listPorts();
}

std::vector<InterfacePort> UdevPortSource::listPorts() {
    std::vector<InterfacePort> ports;
    Enumerate enumerate{udev_enumerate_new(context_.get())};
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0)
        return ports;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        Device tty{udev_device_new_from_syspath(context_.get(), udev_list_entry_get_name(entry))};
        if (!tty)
            continue;
        if (auto port = interfacePortOf(tty.get())) {
            remember(syspathOf(tty.get()), *port);
            ports.push_back(std::move(*port));
        }
    }
    return ports;
}

int UdevPortSource::notificationFd() const {
    return udev_monitor_get_fd(monitor_.get());
}

std::vector<PortEvent> UdevPortSource::drainEvents() {
    std::vector<PortEvent> events;
    // The monitor's socket does not block: this ends when nothing is pending.
    while (Device device{udev_monitor_receive_device(monitor_.get())}) {
        if (auto event = eventFor(device.get()))
            events.push_back(std::move(*event));
    }
    return events;
}

std::optional<PortEvent> UdevPortSource::eventFor(udev_device* device) {
    auto action = orEmpty(udev_device_get_action(device));
    const std::string syspath = syspathOf(device);
    if (action == "remove") {
        auto found = known_.find(syspath);
        if (found == known_.end())
            return std::nullopt;
        PortEvent left{PortChange::Left, std::move(found->second)};
        known_.erase(found);
        return left;
    }
    // A device listed while its "add" was still queued is not news.
    if (action != "add" || known_.contains(syspath))
        return std::nullopt;
    auto port = interfacePortOf(device);
    if (!port)
        return std::nullopt;
    remember(syspath, *port);
    return PortEvent{PortChange::Arrived, std::move(*port)};
}

void UdevPortSource::remember(const std::string& syspath, const InterfacePort& port) {
    known_.insert_or_assign(syspath, port);
}

} // namespace konfigor
