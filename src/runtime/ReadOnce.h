#pragma once
// What a text reads as, kept per thread: programs parse the same few patterns, criteria and type names over
// and over. Texts built from data could grow it without end: past 256 it starts over.

#include <QHash>
#include <QString>

namespace vb {

// `read(text)`, or what it gave for the same text before. Each `Read` type keeps its own texts: pass a lambda.
template <class Value, class Read>
Value readOnce(const QString& text, Read read)
{
    thread_local QHash<QString, Value> kept;
    if (const auto found = kept.constFind(text); found != kept.constEnd())
        return *found;
    // Read first: reading may itself read another text.
    Value value = read(text);
    if (kept.size() >= 256)
        kept.clear();
    kept.insert(text, value);
    return value;
}

}  // namespace vb
