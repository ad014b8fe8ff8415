#pragma once

#include <QPointer>

namespace tesk_ui_data_controller {

class CVideoListFramModel;

namespace DownloadFrameDef {
enum VideoFileFormat {
    FormatMP4 = 0,
};
enum SearchTmType {
    SearchClientTime = 0,
    SearchDeviceTime = 1,
};
} // namespace DownloadFrameDef

// Columns of the download list.
enum DownloadHeadIndex {
    HeadFileName = 0,
    HeadTimeRange = 1,
    HeadFileType = 2,
    HeadColumnCount = 3,
};

// Item roles of the download list.
enum DownloadListRole {
    RoleRowKind = 257,         // 2: a file row
    RoleNamePattern = 376,     // QString: pattern a valid file name matches
    RoleNameMaxLength = 377,   // int: longest valid file name
    RoleExportFileType = 1267, // int: 3, an MP4 recording
    RoleDataIndex = 1268,      // int: record of the row
    RoleFileIndex = 1269,      // int: group of the row within its record
    RoleHasSecretKey = 1270,   // bool: the camera's stream is encrypted
};

// What the list shows, kept per list: the side panel asks it to rebuild the rows when the
// operator switches merging.
class __attribute__((visibility("default"))) CBaseDataStorage
{
public:
    virtual ~CBaseDataStorage() = default;
    void SetModel(CVideoListFramModel *model);
    // Null once the model is gone.
    CVideoListFramModel *GetModel() const;
    // The number of rows shown afterwards.
    virtual int ReloadDataToModel(bool is_merge)
    {
        (void)is_merge;
        return 0;
    }

private:
    QPointer<CVideoListFramModel> ptr_model_;
};

// Provided, per record type, by the module that fills the list.
template<class T>
class CDataStorage;
template<class T>
class CFileStepVisitor;

} // namespace tesk_ui_data_controller
