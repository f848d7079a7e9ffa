#include "reportengine/ReportDocument_p.h"

#include "reportengine/EngineErrors.h"
#include "reportengine/ObjectPainting_p.h"

#include <QPainter>
#include <algorithm>
#include <limits>
#include <unordered_map>

namespace reportengine {

// The data of one subreport object: its records read once, and the rows of each parent's link values.
struct ReportDocument::Subreport {
    const ObjectSpec* object = nullptr;
    std::shared_ptr<const CompiledLayout> compiled;
    std::shared_ptr<const RecordTable> table;
    std::vector<Formula> parentLinks;
    std::unordered_map<QString, std::vector<int>> rowsByLink;
    std::vector<int> allRows;
};

namespace {

QString linkKey(const std::vector<vb::Variant>& values)
{
    QString key;
    for (const vb::Variant& v : values) {
        if (v.isNull() || v.isEmpty())
            key += QStringLiteral("\x1fN");
        else if (v.isDate())
            key += QStringLiteral("\x1f") + QString::number(v.toDate().serial, 'g', 17);
        else if (v.isNumberKind())
            key += QStringLiteral("\x1f") + QString::number(v.toDouble(), 'g', 17);
        else
            key += QStringLiteral("\x1f") + v.toString();
    }
    return key;
}

// The sections' heights added up; so many that they pass any page are taken as just past the largest one.
template <class Predicate>
int heightOf(const LayoutSpec& layout, Predicate predicate)
{
    constexpr long long Beyond = std::numeric_limits<int>::max() / 4;
    long long height = 0;
    for (const auto& section : layout.sections)
        if (!section->suppress && predicate(*section))
            height = std::min(height + section->height, Beyond);
    return int(height);
}

}  // namespace

QSize orientedPageSize(const PageSpec& page)
{
    return page.orientation == 2 ? QSize(page.height, page.width) : QSize(page.width, page.height);
}

ReportDocument::ReportDocument(const LayoutSpec& layout)
    : m_layout(layout), m_compiled(std::make_shared<CompiledLayout>(layout))
{
    auto table = std::make_shared<RecordTable>(readRecords(layout, m_connections));
    m_main = std::make_unique<ReportRun>(m_compiled, table, nullptr, nullptr);
    m_pageSize = orientedPageSize(layout.page);
    m_bodyTop = layout.page.top + heightOf(layout, [](const SectionSpec& s) { return s.area == Area::PageHeader; });
    m_bodyBottom = m_pageSize.height() - layout.page.bottom -
                   heightOf(layout, [](const SectionSpec& s) { return s.area == Area::PageFooter; });
    appendReport(*m_main, 0);
    placeBands();
}

ReportDocument::~ReportDocument() = default;

void ReportDocument::appendReport(ReportRun& run, int x)
{
    const LayoutSpec& layout = run.compiled().layout;
    const bool isMain = &run == m_main.get();
    auto appendArea = [&](Area area, int group, int record) {
        for (const auto& section : layout.sections)
            if (section->area == area && section->group == group && !section->suppress)
                appendSection(run, *section, record, x, isMain && area == Area::GroupHeader ? group - 1 : -1);
    };
    const int n = run.recordCount();
    appendArea(Area::ReportHeader, 0, n ? 0 : -1);
    for (int r = 0; r < n; ++r) {
        for (int level = 0; level < run.groupLevels(); ++level)
            if (run.startsGroup(level, r))
                appendArea(Area::GroupHeader, level + 1, r);
        appendArea(Area::Details, 0, r);
        for (int level = run.groupLevels() - 1; level >= 0; --level)
            if (run.endsGroup(level, r))
                appendArea(Area::GroupFooter, level + 1, r);
    }
    appendArea(Area::ReportFooter, 0, n - 1);
}

void ReportDocument::appendSection(ReportRun& run, const SectionSpec& section, int record, int x, int groupLevel)
{
    if (groupLevel >= 0) {
        run.setRecord(record);
        m_groupTree.push_back({groupLevel, defaultText(run.value(m_compiled->groups[groupLevel].formula)), 1});
        m_groupTreeBand.push_back(int(m_bands.size()));
    }
    m_bands.push_back({&run, &section, record, x, bandHeight(run, section, record), groupLevel});
    appendSubreports(run, section, record, x);
}

void ReportDocument::appendSubreports(ReportRun& parent, const SectionSpec& section, int record, int x)
{
    for (const ObjectSpec& object : section.objects) {
        if (object.kind != ObjectKind::Subreport)
            continue;
        Subreport& source = subreportSource(parent.compiled().layout, object);
        const std::vector<int>* rows = &source.allRows;
        if (!source.parentLinks.empty()) {
            parent.setRecord(record);
            std::vector<vb::Variant> values;
            for (const Formula& link : source.parentLinks)
                values.push_back(parent.value(link));
            static const std::vector<int> none;
            const auto found = source.rowsByLink.find(linkKey(values));
            rows = found == source.rowsByLink.end() ? &none : &found->second;
        }
        m_subreportRuns.push_back(std::make_unique<ReportRun>(source.compiled, source.table, rows, &parent));
        appendReport(*m_subreportRuns.back(), x + object.box.x());
    }
}

ReportDocument::Subreport& ReportDocument::subreportSource(const LayoutSpec& parentLayout, const ObjectSpec& object)
{
    for (const auto& source : m_subreports)
        if (source->object == &object)
            return *source;
    const LayoutSpec* layout = nullptr;
    for (const auto& candidate : parentLayout.subreports)
        if (candidate->name.compare(object.subreport, Qt::CaseInsensitive) == 0)
            layout = candidate.get();
    if (!layout)
        raiseEngine(
            EngineError::UnknownSubreport,
            QStringLiteral("O relatório %1 não tem o sub-relatório %2").arg(parentLayout.file, object.subreport));
    auto source = std::make_unique<Subreport>();
    source->object = &object;
    source->compiled = std::make_shared<CompiledLayout>(*layout);
    source->table = std::make_shared<RecordTable>(readRecords(*layout, m_connections));
    source->allRows.resize(source->table->rows.size());
    for (int row = 0; row < int(source->allRows.size()); ++row)
        source->allRows[row] = row;
    if (!object.links.empty()) {
        std::vector<Formula> childLinks;
        for (const LinkSpec& link : object.links) {
            const QString what = QStringLiteral("do vínculo do sub-relatório %1").arg(object.name);
            source->parentLinks.emplace_back(link.parent, what);
            childLinks.emplace_back(link.child, what);
        }
        ReportRun rows(source->compiled, source->table, &source->allRows, nullptr, false);
        for (int row : source->allRows) {
            std::vector<vb::Variant> values;
            for (const Formula& link : childLinks)
                values.push_back(rows.valueAtRow(link, row));
            source->rowsByLink[linkKey(values)].push_back(row);
        }
    }
    m_subreports.push_back(std::move(source));
    return *m_subreports.back();
}

int ReportDocument::bandHeight(ReportRun& run, const SectionSpec& section, int record)
{
    int height = section.height;
    for (const ObjectSpec& object : section.objects) {
        if (!object.canGrow || object.kind != ObjectKind::Field)
            continue;
        run.setRecord(record);
        const QString text = formattedText(run.value(run.compiled().objectFormula(object)), object.format);
        height = std::max(height, object.box.y() + textHeight(object, text));
    }
    return height;
}

void ReportDocument::placeBands()
{
    m_pages.emplace_back();
    int y = m_bodyTop;
    std::vector<int> pageOfBand(m_bands.size());
    for (std::size_t b = 0; b < m_bands.size(); ++b) {
        const Band& band = m_bands[b];
        const bool full = y + band.height > m_bodyBottom || band.section->newPageBefore;
        if (full && !m_pages.back().bands.empty()) {
            m_pages.emplace_back();
            y = m_bodyTop;
        }
        PageContent& page = m_pages.back();
        page.bands.push_back({band, y});
        y += band.height;
        if (band.run == m_main.get() && band.record >= 0) {
            if (page.firstRecord < 0)
                page.firstRecord = band.record;
            page.lastRecord = band.record;
        }
        pageOfBand[b] = int(m_pages.size());
    }
    // A page without records of its own (a report footer alone) shows the last record before it.
    int previous = -1;
    for (PageContent& page : m_pages) {
        if (page.firstRecord < 0)
            page.firstRecord = page.lastRecord = previous;
        previous = page.lastRecord;
    }
    for (std::size_t e = 0; e < m_groupTree.size(); ++e)
        m_groupTree[e].page = pageOfBand[m_groupTreeBand[e]];
}

void ReportDocument::paintPage(QPainter& painter, int index)
{
    if (index < 0 || index >= pageCount())
        return;
    const PageContent& page = m_pages[index];
    const int total = pageCount();
    const int left = m_layout.page.left;
    m_main->setPage(index + 1, total);
    int y = m_layout.page.top;
    for (const auto& section : m_layout.sections)
        if (section->area == Area::PageHeader && !section->suppress && y <= m_pageSize.height()) {
            paintBand(painter, *m_main, *section, page.firstRecord, left, y, section->height);
            y += section->height;
        }
    for (const PlacedBand& placed : page.bands) {
        placed.band.run->setPage(index + 1, total);
        paintBand(painter, *placed.band.run, *placed.band.section, placed.band.record, left + placed.band.x, placed.y,
                  placed.band.height);
    }
    y = m_bodyBottom;
    for (const auto& section : m_layout.sections)
        if (section->area == Area::PageFooter && !section->suppress && y <= m_pageSize.height()) {
            paintBand(painter, *m_main, *section, page.lastRecord, left, y, section->height);
            y += section->height;
        }
}

void ReportDocument::paintBand(QPainter& painter, ReportRun& run, const SectionSpec& section, int record, int x, int y,
                               int height)
{
    run.setRecord(record);
    for (const ObjectSpec& object : section.objects) {
        QString text;
        if (object.kind == ObjectKind::Field)
            text = formattedText(run.value(run.compiled().objectFormula(object)), object.format);
        else if (object.kind == ObjectKind::Text)
            text = object.text;
        paintObject(painter, object, text, QPoint(x, y), height);
    }
}

}  // namespace reportengine
