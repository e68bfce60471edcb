// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/com1_device.h"

#include "form/port_picker.h"

#include <cstdio>
#include <cstring>

std::optional<QString> findCom1Device(const QString& namedDevice, WhenSeveral whenSeveral,
                                      const Com1Search& search) {
    if (!namedDevice.isEmpty())
        return namedDevice;
    const QString& fallback = search.defaultDevice;
    // The usual case costs one open and close; the port list is asked only
    // when the default device cannot be used.
    const int defaultError = openError(fallback);
    if (defaultError == 0)
        return fallback;
    const Com1Choice choice = chooseCom1(defaultError, search.ports());
    switch (choice.outcome) {
    case Com1Choice::Outcome::Default:
        return fallback;
    case Com1Choice::Outcome::NoneFound:
        throw noPortFound(defaultError);
    case Com1Choice::Outcome::OneAdapter: {
        const PortDescription& adapter = choice.adapters.constFirst();
        std::fprintf(stderr, "zerbo: %s: %s; using the USB serial adapter %s as COM1\n",
                     qPrintable(fallback), std::strerror(defaultError),
                     qPrintable(describePort(adapter)));
        return adapter.device;
    }
    case Com1Choice::Outcome::SeveralAdapters:
        break;
    }
    if (whenSeveral == WhenSeveral::Refuse) {
        std::fprintf(stderr,
                     "zerbo: %s: %s, and several USB serial adapters are plugged in; name one "
                     "with --port DEVICE:\n",
                     qPrintable(fallback), std::strerror(defaultError));
        for (const PortDescription& adapter : choice.adapters)
            std::fprintf(stderr, "  %s\n", qPrintable(describePort(adapter)));
        return std::nullopt;
    }
    PortPicker picker(choice.adapters, search.ports);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.chosenDevice();
}
