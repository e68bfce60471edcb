#pragma once

#include <QString>
#include <stdexcept>

// A run-time error the user has to be told about: a number to quote and a
// description that says what went wrong and what to do about it. Thrown from
// any handler; the application reports it in one message box and ends.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number),
          description_(description) {}

    int number() const { return number_; }
    const QString& description() const { return description_; }

private:
    int number_;
    QString description_;
};

// Error numbers of the serial port.
namespace CommErrorNumber {
constexpr int InvalidPropertyValue = 380; // CommPort or Settings out of range
constexpr int DeviceNotFound = 8002;
constexpr int PortBusy = 8005;
constexpr int PermissionDenied = 8010;
constexpr int PortNotOpen = 8012;
constexpr int WriteFailed = 8015;
constexpr int ReadFailed = 8016;
constexpr int OpenFailed = 8020; // any other reason the device refused to open
} // namespace CommErrorNumber
