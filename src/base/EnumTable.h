#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <vector>

namespace mendo {

// A closed vocabulary whose raw values are a stored format. Each enum
// specialises EnumTraits with `cases`, its cases in declaration order:
//   template <> struct EnumTraits<Foo> {
//       static constexpr std::array<EnumCase<Foo>, 2> cases{{{Foo::a, "a"}, {Foo::b, "b"}}};
//   };
template <class E>
struct EnumCase {
    E value;
    const char* raw;
};

template <class E>
struct EnumTraits;

template <class E>
QString rawValue(E value)
{
    for (const auto& c : EnumTraits<E>::cases)
        if (c.value == value)
            return QString::fromUtf8(c.raw);
    return {};
}

// The identity of a case is its raw value.
template <class E>
QString enumId(E value)
{
    return rawValue(value);
}

// Exact, case-sensitive: "Liquid-Sky" is not "liquid-sky".
template <class E>
std::optional<E> fromRawValue(QStringView raw)
{
    for (const auto& c : EnumTraits<E>::cases)
        if (raw == QLatin1String(c.raw))
            return c.value;
    return std::nullopt;
}

template <class E>
std::vector<E> allCases()
{
    std::vector<E> result;
    result.reserve(EnumTraits<E>::cases.size());
    for (const auto& c : EnumTraits<E>::cases)
        result.push_back(c.value);
    return result;
}

}  // namespace mendo
