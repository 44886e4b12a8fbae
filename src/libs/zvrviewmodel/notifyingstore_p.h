// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_NOTIFYINGSTORE_P_H
#define ZVR_NOTIFYINGSTORE_P_H

#include <type_traits>
#include <utility>

namespace ZVR {
namespace Private {

// The one shape of a notifying setter: an equal value changes nothing and signals
// nothing; otherwise the value is stored and each signal is emitted in the order given,
// so a derived text's signal follows its source's.
// The value is taken as the field's own type, so that an enumeration value outside its
// enumerators is read once, as the number it is, and never through its enum type.
template<typename Object, typename Field, typename... Signals>
void storeAndNotify(Object *object, Field &field, std::common_type_t<Field> value, Signals... changed)
{
    if (field == value) {
        return;
    }
    field = std::move(value);
    (Q_EMIT(object->*changed)(), ...);
}

} // namespace Private
} // namespace ZVR

#endif // ZVR_NOTIFYINGSTORE_P_H
