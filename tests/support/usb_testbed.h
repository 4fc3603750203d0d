#pragma once

#include <array>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <umockdev.h>
#include <vector>

namespace konfigor::testing_support {

// A USB device with one tty, as the kernel's cdc_acm or usb-serial drivers present it.
struct FakeSerialDevice {
    std::string usbSyspath;
    std::string interfaceSyspath;
    std::string ttySyspath;
    // For example /dev/ttyACM0: a pseudo-terminal whose other end interfaceEndOf() gives.
    std::string node;
    // The USB device's serial number; empty for a device without one.
    std::string serial;
};

// Fake sysfs, /dev and uevents that libudev in this process sees in place of the real ones. The
// process must run under umockdev-wrapper, which preloads the library that redirects them.
class UsbTestbed {
public:
    UsbTestbed() : testbed_(umockdev_testbed_new()) {}
    ~UsbTestbed() { g_object_unref(testbed_); }
    UsbTestbed(const UsbTestbed&) = delete;
    UsbTestbed& operator=(const UsbTestbed&) = delete;

    // Plugs a device in at a bus port such as "1-1": sysfs entries, the node and "add" uevents,
    // parents first.
    FakeSerialDevice plugSerialDevice(const std::string& busPort, const char* vendorId,
                                      const char* productId, const std::string& ttyName,
                                      const std::string& serial = {}) {
        std::vector<const gchar*> attributes{"idVendor", vendorId, "idProduct", productId};
        if (!serial.empty())
            attributes.insert(attributes.end(), {"serial", serial.c_str()});
        attributes.push_back(nullptr);
        std::array<const gchar*, 3> properties{"DEVTYPE", "usb_device", nullptr};
        // umockdev only reads the arrays.
        auto usb = added(umockdev_testbed_add_devicev(testbed_, "usb", busPort.c_str(), nullptr,
                                                      const_cast<gchar**>(attributes.data()),
                                                      const_cast<gchar**>(properties.data())));
        auto usbInterface = added(umockdev_testbed_add_device(
            testbed_, "usb", (busPort + ":1.0").c_str(), usb.c_str(), "bInterfaceNumber", "00",
            nullptr, "DEVTYPE", "usb_interface", nullptr));
        auto tty = addTerminal(usbInterface, ttyName);
        return {.usbSyspath = usb,
                .interfaceSyspath = usbInterface,
                .ttySyspath = tty,
                .node = "/dev/" + ttyName,
                .serial = serial};
    }

    // Unplugs it as the kernel does: "remove" uevents, children first, and by the time anyone
    // reads them the sysfs entries are gone.
    void unplug(const FakeSerialDevice& device) {
        const std::array childrenFirst{&device.ttySyspath, &device.interfaceSyspath,
                                       &device.usbSyspath};
        for (const auto* syspath : childrenFirst)
            umockdev_testbed_uevent(testbed_, syspath->c_str(), "remove");
        // One by one: removing only the parent leaves the children's links in /sys/bus behind,
        // and plugging the device in again would fail on them.
        for (const auto* syspath : childrenFirst)
            umockdev_testbed_remove_device(testbed_, syspath->c_str());
        // umockdev keeps the node; a real one vanishes, and opening it must fail.
        std::filesystem::remove(nodeInTestbed(device.node));
    }

    // The other end of the device's pseudo-terminal, where a simulated interface can serve a
    // link that opens the node. Owned by the testbed: not to be closed.
    int interfaceEndOf(const FakeSerialDevice& device) {
        return umockdev_testbed_get_dev_fd(testbed_, device.node.c_str());
    }

private:
    // Only a device described this way gets a node backed by a pseudo-terminal. umockdev makes
    // one pseudo-terminal per node for the testbed's life: plugged in again, the device gets
    // the same one back.
    std::string addTerminal(const std::string& parentSyspath, const std::string& name) {
        auto syspath = parentSyspath + "/" + name;
        auto node = "/dev/" + name;
        auto description = "P: " + syspath.substr(std::string_view{"/sys"}.size()) +
                           "\nE: DEVNAME=" + node + "\nE: SUBSYSTEM=tty\nA: dev=166:0\n";
        auto terminal = terminals_.find(node);
        if (terminal != terminals_.end()) {
            std::filesystem::create_symlink(terminal->second, nodeInTestbed(node));
            addFromString(description, syspath);
            return syspath;
        }
        addFromString(description + "N: " + name + "\n", syspath);
        terminals_.emplace(node, std::filesystem::read_symlink(nodeInTestbed(node)));
        return syspath;
    }

    void addFromString(const std::string& description, const std::string& syspath) {
        GError* error = nullptr;
        if (!umockdev_testbed_add_from_string(testbed_, description.c_str(), &error)) {
            std::string message = error->message;
            g_error_free(error);
            throw std::runtime_error{"umockdev refused " + syspath + ": " + message};
        }
    }

    std::filesystem::path nodeInTestbed(const std::string& node) {
        gchar* root = umockdev_testbed_get_root_dir(testbed_);
        std::filesystem::path path{root};
        g_free(root);
        return path / std::string_view{node}.substr(1);
    }

    static std::string added(gchar* syspath) {
        std::string copy{syspath != nullptr ? syspath : ""};
        g_free(syspath);
        return copy;
    }

    UMockdevTestbed* testbed_;
    // Node, and the pseudo-terminal behind it.
    std::map<std::string, std::filesystem::path> terminals_;
};

} // namespace konfigor::testing_support
