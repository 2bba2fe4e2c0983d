#include "records/report/ReportDefinition.h"

namespace tarvo {

namespace {

// Calls visit on every named label of the report until it returns true.
template <typename Definition, typename Visit>
bool forEachLabel(Definition& definition, Visit visit)
{
    if (visit(definition.titleLabel))
        return true;
    for (auto& line : definition.header) {
        for (auto* side : {&line.left, &line.right}) {
            for (auto& field : *side) {
                if (visit(field.label))
                    return true;
            }
        }
    }
    for (auto& column : definition.columns) {
        if (visit(column.heading))
            return true;
    }
    for (auto* side : {&definition.footer.left, &definition.footer.right}) {
        for (auto& field : *side) {
            if (visit(field.label))
                return true;
        }
    }
    return false;
}

} // namespace

bool ReportDefinition::setCaption(const QString& name, const QString& caption)
{
    return forEachLabel(*this, [&](ReportLabel& label) {
        if (label.name != name)
            return false;
        label.caption = caption;
        return true;
    });
}

QString ReportDefinition::caption(const QString& name) const
{
    QString found;
    forEachLabel(*this, [&](const ReportLabel& label) {
        if (label.name != name)
            return false;
        found = label.caption;
        return true;
    });
    return found;
}

bool ReportDefinition::setDataField(const QString& name, const QString& field)
{
    for (ReportColumn& column : columns) {
        if (column.name == name) {
            column.field = field;
            return true;
        }
    }
    return false;
}

QString expandPlaceholders(const QString& caption, int page, int pageCount, const QString& title)
{
    QString text;
    text.reserve(caption.size() + title.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar next = i + 1 < caption.size() ? caption.at(i + 1) : QChar();
        if (caption.at(i) != QLatin1Char('%') || (next != u'p' && next != u'P' && next != u'i')) {
            text += caption.at(i);
            continue;
        }
        if (next == u'p')
            text += QString::number(page);
        else if (next == u'P')
            text += QString::number(pageCount);
        else
            text += title;
        ++i;
    }
    return text;
}

} // namespace tarvo
