#pragma once

#include <QStringList>
#include <QTest>

// A data table written as a table: each case is one line of fields split by '|', read back by
// position, where Qt Test would want a column, a fetch and a stream operator for every field.
class Row {
public:
    static void columns() { QTest::addColumn<QString>("fields"); }
    static void add(const char* name, const char* fields)
    {
        QTest::newRow(name) << QString::fromUtf8(fields);
    }

    Row()
    {
        QFETCH(QString, fields);
        for (const QString& field : fields.split(u'|'))
            m_fields << field.trimmed();
    }

    [[nodiscard]] QString operator[](int at) const { return m_fields.value(at); }
    [[nodiscard]] int number(int at) const { return m_fields.value(at).toInt(nullptr, 0); }
    [[nodiscard]] bool yes(int at) const { return m_fields.value(at) == QStringLiteral("yes"); }

private:
    QStringList m_fields;
};
