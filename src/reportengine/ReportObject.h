#pragma once
// An object placed on a section: its name and kind (ObjectKind's codes: 1 field, 2 text, 3 line, 4 box,
// 5 subreport). A subreport object opens the subreport it shows.

#include <QString>
#include <memory>

namespace reportengine {

class Report;
struct ObjectSpec;

class ReportObject {
public:
    explicit ReportObject(const ObjectSpec& object) : m_object(object) {}
    virtual ~ReportObject() = default;
    QString Name() const;
    int Kind() const;

protected:
    const ObjectSpec& object() const { return m_object; }

private:
    const ObjectSpec& m_object;
};

class SubreportObject : public ReportObject {
public:
    SubreportObject(const ObjectSpec& object, Report& parent) : ReportObject(object), m_parent(parent) {}
    QString SubreportName() const;
    // The same report object the parent's OpenSubreport gives for this name.
    std::shared_ptr<Report> OpenSubreport() const;

private:
    Report& m_parent;
};

}  // namespace reportengine
