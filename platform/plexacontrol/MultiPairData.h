#pragma once

#include <QPair>
#include <QVariant>
#include <QVector>

namespace PlexaControl {

// A small bag of values keyed by QVariant, shared between a display item and the views that
// show it. Items carry a dozen keys, so a flat vector beats any hashing.
class CMultiPairData
{
public:
    virtual ~CMultiPairData() = default;

    void InsertPairData(const QVariant &key, const QVariant &value)
    {
        for (auto &pair : pairs_) {
            if (pair.first == key) {
                pair.second = value;
                return;
            }
        }
        pairs_.append({key, value});
    }

    // An invalid QVariant when the key was never set.
    QVariant GetPairData(const QVariant &key) const
    {
        for (const auto &pair : pairs_) {
            if (pair.first == key)
                return pair.second;
        }
        return {};
    }

    bool HasPairData(const QVariant &key) const { return GetPairData(key).isValid(); }

private:
    QVector<QPair<QVariant, QVariant>> pairs_;
};

} // namespace PlexaControl
