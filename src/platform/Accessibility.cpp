#include "platform/Accessibility.h"

namespace mendo {

namespace {
template <class T> std::optional<T> as(const std::optional<AXValue>& value)
{
    if (!value)
        return std::nullopt;
    if (const T* typed = std::get_if<T>(&*value))
        return *typed;
    return std::nullopt;
}
}  // namespace

std::shared_ptr<const void> Accessibility::readAhead(const AXElement&, int, int)
{
    return nullptr;
}

std::optional<QString> Accessibility::stringAttribute(const AXElement& element, const QString& attribute)
{
    if (!element)
        return std::nullopt;
    return as<QString>(attributeValue(element, attribute));
}

AXElement Accessibility::elementAttribute(const AXElement& element, const QString& attribute)
{
    if (!element)
        return nullptr;
    return as<AXElement>(attributeValue(element, attribute)).value_or(nullptr);
}

std::optional<bool> Accessibility::boolAttribute(const AXElement& element, const QString& attribute)
{
    if (!element)
        return std::nullopt;
    return as<bool>(attributeValue(element, attribute));
}

std::optional<double> Accessibility::numberAttribute(const AXElement& element, const QString& attribute)
{
    if (!element)
        return std::nullopt;
    return as<double>(attributeValue(element, attribute));
}

std::optional<QRectF> Accessibility::frameAttribute(const AXElement& element)
{
    if (!element)
        return std::nullopt;
    const auto position = as<QPointF>(attributeValue(element, ax::Position));
    if (!position)
        return std::nullopt;
    const auto size = as<QSizeF>(attributeValue(element, ax::Size));
    if (!size)
        return std::nullopt;
    return QRectF(*position, *size);
}

QList<AXElement> Accessibility::children(const AXElement& element)
{
    if (!element)
        return {};
    QList<AXElement> result;
    for (const AXElement& child :
        as<QList<AXElement>>(attributeValue(element, ax::Children)).value_or(QList<AXElement>()))
        if (child)
            result.append(child);
    return result;
}

}  // namespace mendo
