#include "reportengine/LayoutReader_p.h"

#include "reportengine/EngineErrors.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace reportengine {

namespace {

constexpr int FormatVersion = 1;
// The largest length or position in twips (about 17 metres): sums of them stay far inside an int.
constexpr int MaxTwips = 1000000;
constexpr double MaxFontSize = 1000;  // points
constexpr int MaxGroups = 1000;

// Thrown inside the reader, turned into LayoutDamaged with the file's name and the reader's position.
struct Malformed {
    QString reason;
};

const std::map<QString, Area>& areaNames()
{
    static const std::map<QString, Area> names{
        {QStringLiteral("reportheader"), Area::ReportHeader}, {QStringLiteral("pageheader"), Area::PageHeader},
        {QStringLiteral("groupheader"), Area::GroupHeader},   {QStringLiteral("details"), Area::Details},
        {QStringLiteral("groupfooter"), Area::GroupFooter},   {QStringLiteral("reportfooter"), Area::ReportFooter},
        {QStringLiteral("pagefooter"), Area::PageFooter}};
    return names;
}

QString defaultSectionName(Area area, int group)
{
    switch (area) {
    case Area::ReportHeader:
        return QStringLiteral("ReportHeader");
    case Area::PageHeader:
        return QStringLiteral("PageHeader");
    case Area::GroupHeader:
        return QStringLiteral("GroupHeader%1").arg(group);
    case Area::Details:
        return QStringLiteral("Details");
    case Area::GroupFooter:
        return QStringLiteral("GroupFooter%1").arg(group);
    case Area::ReportFooter:
        return QStringLiteral("ReportFooter");
    case Area::PageFooter:
        return QStringLiteral("PageFooter");
    }
    return {};
}

class Reader {
public:
    explicit Reader(QXmlStreamReader& xml) : m_xml(xml) {}

    LayoutSpec report()
    {
        LayoutSpec layout;
        const int version = intAttribute(QStringLiteral("version"), 0);
        if (version < 1 || version > FormatVersion)
            throw Malformed{QStringLiteral("versão %1 do formato não suportada").arg(version)};
        layoutBody(layout);
        return layout;
    }

private:
    QString attribute(const QString& name) const { return m_xml.attributes().value(name).toString(); }

    // A whole number in low..high; a value outside names the attribute.
    int intAttribute(const QString& name, int fallback, int low = std::numeric_limits<int>::min(),
                     int high = std::numeric_limits<int>::max()) const
    {
        const QString text = attribute(name).trimmed();
        if (text.isEmpty())
            return fallback;
        bool whole = false;
        const qlonglong value = text.toLongLong(&whole);
        bool number = false;
        const double approximate = text.toDouble(&number);
        if (!whole && !(number && approximate == std::trunc(approximate)))
            throw Malformed{QStringLiteral("atributo %1 não é um número inteiro: \"%2\"").arg(name, text)};
        if (!whole || value < low || value > high)
            throw Malformed{QStringLiteral("atributo %1 fora do intervalo de %2 a %3: \"%4\"")
                                .arg(name)
                                .arg(low)
                                .arg(high)
                                .arg(text)};
        return int(value);
    }

    int lengthAttribute(const QString& name, int fallback) const { return intAttribute(name, fallback, 0, MaxTwips); }

    bool boolAttribute(const QString& name) const
    {
        const QString text = attribute(name).toLower();
        return text == QLatin1String("true") || text == QLatin1String("1") || text == QLatin1String("yes");
    }

    QString required(const QString& name) const
    {
        const QString text = attribute(name);
        if (text.isEmpty())
            throw Malformed{QStringLiteral("<%1> sem o atributo %2").arg(m_xml.name().toString(), name)};
        return text;
    }

    QString text() { return m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement).trimmed(); }

    [[noreturn]] void unexpected() const
    {
        throw Malformed{QStringLiteral("elemento inesperado <%1>").arg(m_xml.name().toString())};
    }

    // The children of the current element, one call of `child` per child element.
    template <class Child>
    void children(Child&& child)
    {
        while (m_xml.readNextStartElement())
            child(m_xml.name().toString().toLower());
    }

    void layoutBody(LayoutSpec& layout)
    {
        layout.name = attribute(QStringLiteral("name"));
        children([&](const QString& element) {
            if (element == QLatin1String("page"))
                page(layout.page);
            else if (element == QLatin1String("printer"))
                printer(layout.printer);
            else if (element == QLatin1String("data"))
                data(layout);
            else if (element == QLatin1String("parameter"))
                layout.parameters.push_back(parameter());
            else if (element == QLatin1String("formula"))
                layout.formulas.push_back(named());
            else if (element == QLatin1String("sqlexpression"))
                layout.sqlExpressions.push_back(named());
            else if (element == QLatin1String("selection"))
                layout.selection = text();
            else if (element == QLatin1String("sort"))
                layout.sorts.push_back(sort());
            else if (element == QLatin1String("group"))
                layout.groups.push_back(sort());
            else if (element == QLatin1String("section"))
                layout.sections.push_back(std::make_shared<SectionSpec>(section()));
            else if (element == QLatin1String("subreport"))
                layout.subreports.push_back(subreport());
            else
                unexpected();
        });
        for (const auto& s : layout.sections)
            if ((s->area == Area::GroupHeader || s->area == Area::GroupFooter) &&
                (s->group < 1 || s->group > int(layout.groups.size())))
                throw Malformed{
                    QStringLiteral("a seção %1 se refere ao grupo %2, que não existe").arg(s->name).arg(s->group)};
        orderSections(layout.sections);
    }

    void page(PageSpec& page)
    {
        page.paperSize = intAttribute(QStringLiteral("paper"), page.paperSize);
        page.width = lengthAttribute(QStringLiteral("width"), page.width);
        page.height = lengthAttribute(QStringLiteral("height"), page.height);
        page.orientation = intAttribute(QStringLiteral("orientation"), page.orientation, 0, 2);
        page.left = lengthAttribute(QStringLiteral("left"), page.left);
        page.right = lengthAttribute(QStringLiteral("right"), page.right);
        page.top = lengthAttribute(QStringLiteral("top"), page.top);
        page.bottom = lengthAttribute(QStringLiteral("bottom"), page.bottom);
        if (page.width <= page.left + page.right || page.height <= page.top + page.bottom)
            throw Malformed{QStringLiteral("página sem área útil")};
        m_xml.skipCurrentElement();
    }

    void printer(PrinterSpec& printer)
    {
        printer = {attribute(QStringLiteral("driver")), attribute(QStringLiteral("device")),
                   attribute(QStringLiteral("port"))};
        m_xml.skipCurrentElement();
    }

    void data(LayoutSpec& layout)
    {
        children([&](const QString& element) {
            if (element == QLatin1String("table"))
                layout.tables.push_back(table());
            else if (element == QLatin1String("link"))
                layout.joins.push_back(join());
            else if (element == QLatin1String("command"))
                command(layout);
            else
                unexpected();
        });
    }

    TableSpec table()
    {
        TableSpec table;
        table.name = required(QStringLiteral("name"));
        table.location = attribute(QStringLiteral("location"));
        if (table.location.isEmpty())
            table.location = table.name;
        fields(table);
        return table;
    }

    void fields(TableSpec& table)
    {
        children([&](const QString& element) {
            if (element != QLatin1String("field"))
                unexpected();
            table.fields << required(QStringLiteral("name"));
            m_xml.skipCurrentElement();
        });
    }

    void command(LayoutSpec& layout)
    {
        TableSpec table{CommandTable, CommandTable, {}, {}};
        children([&](const QString& element) {
            if (element == QLatin1String("sql"))
                layout.command = text();
            else if (element == QLatin1String("field")) {
                table.fields << required(QStringLiteral("name"));
                m_xml.skipCurrentElement();
            } else
                unexpected();
        });
        if (layout.command.isEmpty())
            throw Malformed{QStringLiteral("<command> sem <sql>")};
        layout.tables.push_back(table);
    }

    // "Table.Field" split at its dot.
    std::pair<QString, QString> qualified(const QString& name) const
    {
        const QString text = required(name);
        const int dot = text.indexOf(QLatin1Char('.'));
        if (dot <= 0 || dot == text.size() - 1)
            throw Malformed{QStringLiteral("%1 deve ter a forma Tabela.Campo: \"%2\"").arg(name, text)};
        return {text.left(dot), text.mid(dot + 1)};
    }

    JoinSpec join()
    {
        JoinSpec join;
        std::tie(join.fromTable, join.fromField) = qualified(QStringLiteral("from"));
        std::tie(join.toTable, join.toField) = qualified(QStringLiteral("to"));
        join.leftOuter = attribute(QStringLiteral("join")).compare(QLatin1String("left"), Qt::CaseInsensitive) == 0;
        m_xml.skipCurrentElement();
        return join;
    }

    ParameterSpec parameter()
    {
        ParameterSpec parameter;
        parameter.name = required(QStringLiteral("name"));
        const QString type = attribute(QStringLiteral("type")).toLower();
        if (type == QLatin1String("number"))
            parameter.type = ValueKind::Number;
        else if (type == QLatin1String("date"))
            parameter.type = ValueKind::Date;
        else if (type == QLatin1String("boolean"))
            parameter.type = ValueKind::Boolean;
        else if (!type.isEmpty() && type != QLatin1String("text"))
            throw Malformed{QStringLiteral("tipo de parâmetro desconhecido \"%1\"").arg(type)};
        parameter.prompt = attribute(QStringLiteral("prompt"));
        if (m_xml.attributes().hasAttribute(QStringLiteral("default")))
            parameter.defaultValue = vb::Variant(attribute(QStringLiteral("default")));
        m_xml.skipCurrentElement();
        return parameter;
    }

    NamedText named()
    {
        NamedText named;
        named.name = required(QStringLiteral("name"));
        named.text = text();
        return named;
    }

    SortSpec sort()
    {
        SortSpec sort;
        sort.field = required(QStringLiteral("field"));
        sort.direction =
            attribute(QStringLiteral("direction")).compare(QLatin1String("descending"), Qt::CaseInsensitive) == 0;
        m_xml.skipCurrentElement();
        return sort;
    }

    SectionSpec section()
    {
        SectionSpec section;
        const QString areaName = required(QStringLiteral("area")).toLower();
        const auto area = areaNames().find(areaName);
        if (area == areaNames().end())
            throw Malformed{QStringLiteral("área de seção desconhecida \"%1\"").arg(areaName)};
        section.area = area->second;
        section.group = intAttribute(QStringLiteral("group"), 0, 0, MaxGroups);
        section.name = attribute(QStringLiteral("name"));
        if (section.name.isEmpty())
            section.name = defaultSectionName(section.area, section.group);
        section.height = lengthAttribute(QStringLiteral("height"), 0);
        section.suppress = boolAttribute(QStringLiteral("suppress"));
        section.newPageBefore = boolAttribute(QStringLiteral("newpagebefore"));
        children([&](const QString& element) { section.objects.push_back(object(element)); });
        return section;
    }

    ObjectSpec object(const QString& element)
    {
        ObjectSpec object;
        if (element == QLatin1String("text"))
            object.kind = ObjectKind::Text;
        else if (element == QLatin1String("field"))
            object.kind = ObjectKind::Field;
        else if (element == QLatin1String("line"))
            object.kind = ObjectKind::Line;
        else if (element == QLatin1String("box"))
            object.kind = ObjectKind::Box;
        else if (element == QLatin1String("subreport"))
            object.kind = ObjectKind::Subreport;
        else
            unexpected();
        object.name = attribute(QStringLiteral("name"));
        const int x = intAttribute(QStringLiteral("x"), 0, -MaxTwips, MaxTwips);
        const int y = intAttribute(QStringLiteral("y"), 0, -MaxTwips, MaxTwips);
        const int width = lengthAttribute(QStringLiteral("width"), 0);
        object.box = QRect(x, y, width, lengthAttribute(QStringLiteral("height"), 0));
        object.format = attribute(QStringLiteral("format"));
        object.canGrow = boolAttribute(QStringLiteral("cangrow"));
        object.lineWidth = lengthAttribute(QStringLiteral("linewidth"), object.lineWidth);
        font(object.font);
        const QString align = attribute(QStringLiteral("align")).toLower();
        object.align = align == QLatin1String("right")    ? Qt::AlignRight
                       : align == QLatin1String("center") ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
        switch (object.kind) {
        case ObjectKind::Text:
            object.text = m_xml.readElementText();
            break;
        case ObjectKind::Field:
            object.source = required(QStringLiteral("source"));
            m_xml.skipCurrentElement();
            break;
        case ObjectKind::Subreport:
            object.subreport = required(QStringLiteral("report"));
            if (object.name.isEmpty())
                object.name = object.subreport;
            links(object);
            break;
        default:
            m_xml.skipCurrentElement();
        }
        return object;
    }

    void font(FontSpec& font) const
    {
        if (!attribute(QStringLiteral("font")).isEmpty())
            font.family = attribute(QStringLiteral("font"));
        const QString size = attribute(QStringLiteral("size"));
        if (!size.isEmpty()) {
            font.size = size.toDouble();
            if (!(font.size > 0 && font.size <= MaxFontSize))
                throw Malformed{QStringLiteral("atributo size fora do intervalo de 0 a %1: \"%2\"").arg(MaxFontSize).arg(size)};
        }
        font.bold = boolAttribute(QStringLiteral("bold"));
        font.italic = boolAttribute(QStringLiteral("italic"));
    }

    void links(ObjectSpec& object)
    {
        children([&](const QString& element) {
            if (element != QLatin1String("link"))
                unexpected();
            object.links.push_back({required(QStringLiteral("parent")), required(QStringLiteral("child"))});
            m_xml.skipCurrentElement();
        });
    }

    std::shared_ptr<LayoutSpec> subreport()
    {
        auto layout = std::make_shared<LayoutSpec>();
        layoutBody(*layout);
        if (layout->name.isEmpty())
            throw Malformed{QStringLiteral("<subreport> sem o atributo name")};
        return layout;
    }

    QXmlStreamReader& m_xml;
};

int areaRank(const SectionSpec& s)
{
    switch (s.area) {
    case Area::ReportHeader:
        return 0;
    case Area::PageHeader:
        return 1;
    case Area::GroupHeader:
        return 100 + s.group;
    case Area::Details:
        return 1000;
    case Area::GroupFooter:
        return 2000 - s.group;
    case Area::ReportFooter:
        return 3000;
    case Area::PageFooter:
        return 3001;
    }
    return 0;
}

}  // namespace

void orderSections(std::vector<std::shared_ptr<SectionSpec>>& sections)
{
    std::stable_sort(sections.begin(), sections.end(),
                     [](const auto& a, const auto& b) { return areaRank(*a) < areaRank(*b); });
}

LayoutSpec readLayout(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        raiseEngine(EngineError::LayoutNotFound, QStringLiteral("Arquivo de relatório não encontrado: %1").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        raiseEngine(EngineError::LayoutDamaged, QStringLiteral("Arquivo de relatório ilegível: %1").arg(path));
    QXmlStreamReader xml(&file);
    LayoutSpec layout;
    try {
        if (!xml.readNextStartElement() || xml.name() != QLatin1String("report"))
            throw Malformed{QStringLiteral("não é um arquivo de relatório (falta <report>)")};
        layout = Reader(xml).report();
        if (xml.hasError())
            throw Malformed{xml.errorString()};
    } catch (const Malformed& m) {
        const QString reason = xml.hasError() ? xml.errorString() : m.reason;
        raiseEngine(EngineError::LayoutDamaged,
                    QStringLiteral("Arquivo de relatório inválido: %1, linha %2, coluna %3: %4")
                        .arg(path)
                        .arg(xml.lineNumber())
                        .arg(xml.columnNumber())
                        .arg(reason));
    }
    layout.file = path;
    return layout;
}

}  // namespace reportengine
