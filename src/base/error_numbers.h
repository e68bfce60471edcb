// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// Every number a run-time error can carry. The manual page and the README
// document exactly these; tst_error_numbers reads both and checks them
// against ErrorTable.
namespace ErrorNumber {
constexpr int Overflow = 6;  // a pause too long for its type
constexpr int Internal = 51; // a fault of the program itself, nothing the user did
constexpr int DeviceNotFound = 8002;
constexpr int PortBusy = 8005;
constexpr int PermissionDenied = 8010;
constexpr int PortNotOpen = 8012;
constexpr int WriteFailed = 8015;
constexpr int ReadFailed = 8016;
constexpr int OpenFailed = 8020; // any other reason the device refused to open
} // namespace ErrorNumber

struct ErrorTableRow {
    int number;
    std::string_view meaning;
};

inline constexpr ErrorTableRow ErrorTable[] = {
    {ErrorNumber::Overflow, "the pause is longer than 2147483647 ms"},
    {ErrorNumber::Internal, "an internal error of the program"},
    {ErrorNumber::DeviceNotFound, "the device does not exist, or none was found"},
    {ErrorNumber::PortBusy, "another program holds the port"},
    {ErrorNumber::PermissionDenied, "no permission to open the device"},
    {ErrorNumber::PortNotOpen, "the port is not open"},
    {ErrorNumber::WriteFailed, "sending failed"},
    {ErrorNumber::ReadFailed, "receiving failed"},
    {ErrorNumber::OpenFailed, "the device could not be opened, or is no serial device"},
};
