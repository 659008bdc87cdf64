#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

namespace mendo {

// A map from one user-perceived character to another. Nearly every key is a
// single UTF-16 unit; those live in a table keyed by the unit, because the
// conversion looks up every character of texts that can be megabytes long
// and hashing a QString per character costs about fifty times more.
class CharacterMap {
public:
    // A later insert of the same key replaces the value.
    void insert(const QString& from, const QString& to)
    {
        if (from.size() == 1)
            m_units.insert(from.at(0).unicode(), to);
        else
            m_clusters.insert(from, to);
    }

    const QString* find(QStringView character) const
    {
        if (character.size() == 1) {
            const auto it = m_units.constFind(character.at(0).unicode());
            return it == m_units.cend() ? nullptr : &*it;
        }
        const auto it = m_clusters.constFind(character.toString());
        return it == m_clusters.cend() ? nullptr : &*it;
    }
    bool contains(QStringView character) const { return find(character) != nullptr; }

    qsizetype size() const { return m_units.size() + m_clusters.size(); }
    bool isEmpty() const { return size() == 0; }

private:
    QHash<char16_t, QString> m_units;
    QHash<QString, QString> m_clusters;
};

}  // namespace mendo
