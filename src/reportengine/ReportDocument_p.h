#pragma once
// A report read and laid out: the records of the report and of its subreports, the sections placed on pages
// (page header and footer on every page, a section moved whole to the next page when it does not fit), and
// the painting of one page through QPainter in twips.

#include "reportengine/DataReader_p.h"
#include "reportengine/GroupTreeEntry.h"
#include "reportengine/ReportRun_p.h"

#include <QSize>

class QPainter;

namespace reportengine {

struct Band {
    ReportRun* run = nullptr;
    const SectionSpec* section = nullptr;
    int record = -1;
    int x = 0;  // offset of a subreport's sections
    int height = 0;
    int groupLevel = -1;  // a group header of the main report: its level in the group tree
};

struct PlacedBand {
    Band band;
    int y = 0;
};

struct PageContent {
    std::vector<PlacedBand> bands;
    int firstRecord = -1;
    int lastRecord = -1;
};

class ReportDocument {
public:
    // Reads the records of the report and of its subreports and lays them out.
    explicit ReportDocument(const LayoutSpec& layout);
    ~ReportDocument();

    bool hasRecords() const { return m_main->recordCount() > 0; }
    int pageCount() const { return int(m_pages.size()); }
    QSize pageSize() const { return m_pageSize; }
    const std::vector<GroupTreeEntry>& groupTree() const { return m_groupTree; }
    ReportRun& mainRun() { return *m_main; }

    // Paints page `index` (0-based) with the painter's coordinates in twips from the paper's top left corner.
    void paintPage(QPainter& painter, int index);

private:
    struct Subreport;
    void appendSection(ReportRun& run, const SectionSpec& section, int record, int x, int groupLevel);
    void appendReport(ReportRun& run, int x);
    void appendSubreports(ReportRun& parent, const SectionSpec& section, int record, int x);
    Subreport& subreportSource(const LayoutSpec& parentLayout, const ObjectSpec& object);
    int bandHeight(ReportRun& run, const SectionSpec& section, int record);
    void placeBands();
    void paintBand(QPainter& painter, ReportRun& run, const SectionSpec& section, int record, int x, int y, int height);

    const LayoutSpec& m_layout;
    ConnectionPool m_connections;
    std::shared_ptr<const CompiledLayout> m_compiled;
    std::unique_ptr<ReportRun> m_main;
    std::vector<std::unique_ptr<Subreport>> m_subreports;
    std::vector<std::unique_ptr<ReportRun>> m_subreportRuns;
    std::vector<Band> m_bands;
    std::vector<PageContent> m_pages;
    std::vector<GroupTreeEntry> m_groupTree;
    std::vector<int> m_groupTreeBand;  // the band of each entry, until pages are known
    QSize m_pageSize;
    int m_bodyTop = 0;
    int m_bodyBottom = 0;
};

// The paper's size in twips as the layout's size and orientation make it.
QSize orientedPageSize(const PageSpec& page);

}  // namespace reportengine
