#pragma once

#include "link/port_source.h"

#include <map>
#include <memory>
#include <optional>

struct udev;
struct udev_device;
struct udev_monitor;

namespace konfigor {

// The programming interfaces as libudev sees them: tty devices whose USB device has idVendor
// 04d8 and idProduct ff0c, and a monitor of tty devices coming and going.
class UdevPortSource final : public PortSource {
public:
    // nullptr when libudev or its monitor cannot be set up.
    static std::unique_ptr<UdevPortSource> create();

    std::vector<InterfacePort> listPorts() override;
    int notificationFd() const override;
    std::vector<PortEvent> drainEvents() override;

private:
    struct Release {
        void operator()(udev* context) const;
        void operator()(udev_monitor* monitor) const;
    };
    using Context = std::unique_ptr<udev, Release>;
    using Monitor = std::unique_ptr<udev_monitor, Release>;

    UdevPortSource(Context context, Monitor monitor);

    std::optional<PortEvent> eventFor(udev_device* device);
    void remember(const std::string& syspath, const InterfacePort& port);

    Context context_;
    Monitor monitor_;
    // Every interface seen, by the tty's sysfs path: when "remove" arrives its USB parent is
    // gone, and with it the means to tell that it was one of ours.
    std::map<std::string, InterfacePort> known_;
};

} // namespace konfigor
