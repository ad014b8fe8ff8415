#pragma once

#include <QObject>

#include <mutex>
#include <string>

namespace tesk_ui_data_controller {

// What a host keeps about evidence: the description saved with an export that the operator
// marks as evidence, as a JSON text.
class __attribute__((visibility("default"))) CAbstractEvidenceFrameWrapper
{
public:
    virtual ~CAbstractEvidenceFrameWrapper() = default;
    virtual std::string GetEvidenceInfo() const = 0;
    virtual void SetEvidenceInfo(const std::string &json) = 0;
};

// The evidence source of a host that brings none: keeps the last description in memory.
class __attribute__((visibility("default"))) CStandEvidenceFrameSource
    : public QObject,
      public CAbstractEvidenceFrameWrapper
{
    Q_OBJECT
public:
    explicit CStandEvidenceFrameSource(QObject *parent = nullptr);

    std::string GetEvidenceInfo() const override;
    void SetEvidenceInfo(const std::string &json) override;

private:
    mutable std::mutex mutex_;
    std::string evidence_info_;
};

} // namespace tesk_ui_data_controller
