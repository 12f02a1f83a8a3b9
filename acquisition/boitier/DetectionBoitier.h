#pragma once
// Finding a USB measuring box plugged in at start, without touching any
// other serial port: only the terminals of USB serial chips that the usual
// boards carry are listed (an Uno's or a Nano's 16U2 or 8U2, a clone's
// CH340, an older Nano's FTDI FT232R). Nothing is opened here; the caller
// probes what is listed.
//
// The kernel shows each terminal in /sys/class/tty/<name>; its "device" link
// leads to the USB interface (ttyACM*) or to the converter's port below it
// (ttyUSB*), whose USB device, a level or two up, holds idVendor and
// idProduct in hexadecimal.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Whether a USB device with these identifiers is one of the boards' chips.
bool PuceDeCarteUsb(std::uint16_t vendeur, std::uint16_t produit);

// The device paths ("/dev/ttyACM0") of the terminals under `classeTty`
// that belong to such a chip, in name order, taken under `dev`.
std::vector<std::string> PortsDeCartesUsb(const std::filesystem::path& classeTty = "/sys/class/tty",
                                          const std::filesystem::path& dev = "/dev");
