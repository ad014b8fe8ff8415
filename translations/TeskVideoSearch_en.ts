<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
    <context>
        <name>OperationGuideDialog</name>
        <message>
            <source>Korv-ControlClient.d8bac0e8b1e543f1b1e37e320341adc7.name</source>
            <translation>Operation Guide</translation>
        </message>
        <message>
            <source>Korv-ControlClient.b99da05b151d43a085828d05cdf86cbd.name</source>
            <translation>Step 1</translation>
        </message>
        <message>
            <source>Korv-ControlClient.c82cd4212f57470d892eafe205d94714.msg</source>
            <translation>Choose the cameras, the period and the kinds of recordings in the condition column, then click Search.</translation>
        </message>
        <message>
            <source>Korv-ControlClient.e8619579c3c045bb8e75c03e2bb1ed22.name</source>
            <translation>Step 2</translation>
        </message>
        <message>
            <source>Korv-ControlClient.7e7b21bbaaa9488dacb22b7907a84e37.msg</source>
            <translation>Browse the results on the time bar, as thumbnails or as a list, and double-click one to play it.</translation>
        </message>
        <message>
            <source>ShutDown42HTMCDN</source>
            <translation>Close</translation>
        </message>
    </context>
    <context>
        <name>QObject</name>
        <message>
            <source>TimeRange</source>
            <translation>Time Range</translation>
        </message>
        <message>
            <source>TimeIntervaldeviceEnkQPjzIOq</source>
            <translation>Time Period (Device Time)</translation>
        </message>
        <message>
            <source>TimeIntervalclientByPMvRustR</source>
            <translation>Time Period (Client Time)</translation>
        </message>
        <message>
            <source>All00TGYFLU</source>
            <translation>All</translation>
        </message>
        <message>
            <source>ManualLabelCHmnijoE</source>
            <translation>Manual Tag</translation>
        </message>
        <message>
            <source>EventLinkageLabelwHnJdslk</source>
            <translation>Event Linkage Tag</translation>
        </message>
        <message>
            <source>Others</source>
            <translation>Others</translation>
        </message>
        <message>
            <source>Playback</source>
            <translation>Playback</translation>
        </message>
        <message>
            <source>VideoSearchdsmnkshB</source>
            <translation>Video Search</translation>
        </message>
        <message>
            <source>Download</source>
            <translation>Download</translation>
        </message>
        <message>
            <source>EditTag</source>
            <translation>Edit Tag</translation>
        </message>
        <message>
            <source>RemoveTheLabelprhfvkeD</source>
            <translation>Delete Tag</translation>
        </message>
        <message>
            <source>CheckTheLabelvdhukmjs</source>
            <translation>View Tag</translation>
        </message>
        <message>
            <source>DeleteTheLockIBaAfClv</source>
            <translation>Unlock</translation>
        </message>
        <message>
            <source>SeeTheLocknuwthkvw</source>
            <translation>View Locked Recordings</translation>
        </message>
        <message>
            <source>%HasNo%PermissionsVxBkhrUAqZ</source>
            <translation>You have no %2 permission for %1.</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CClipSearchCondition</name>
        <message>
            <source>TheStartTimeShouldNoqwQajdBG</source>
            <translation>The start time should be earlier than the end time.</translation>
        </message>
        <message>
            <source>SearchForVideoClipsWsfvfFlzo</source>
            <translation>Search for video clips within 7 days.</translation>
        </message>
        <message>
            <source>Korv-ControlClient.0c47fc201897455f8766ee8cfe092672.msg</source>
            <translation>Choose at least one kind of recordings.</translation>
        </message>
        <message>
            <source>PleaseSelectACamera</source>
            <translation>Please select a camera.</translation>
        </message>
        <message>
            <source>TheNumberOfCheckedModWIgYcki</source>
            <translation>At most %1 cameras can be searched at once; the first %1 are used.</translation>
        </message>
        <message>
            <source>Korv-ControlClient.cebac1fb50f74653a316d109d2c1b583.msg</source>
            <translation>The camera does not exist or has been deleted.</translation>
        </message>
        <message>
            <source>%VideoPlanNotConfiguCzLbRyXb</source>
            <translation>No recording schedule is configured for %1.</translation>
        </message>
        <message>
            <source>WakeUpCameraFailedPqZrTmVx</source>
            <translation>Waking up the camera failed.</translation>
        </message>
        <message>
            <source>CameraIsWakingUpLsQnBxRe</source>
            <translation>The camera is waking up. Try again in a moment.</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CBaseFileProgressBar</name>
        <message>
            <source>Korv-ControlClient.0734e6ccf17343c18a217b40cd8bd1a4.name</source>
            <translation>Recordings</translation>
        </message>
        <message>
            <source>Korv-ControlClient.dc563ae986f74e5faa2d933d3ce498fe.msg</source>
            <translation>That time lies outside the searched period.</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CLevelPanel</name>
        <message>
            <source>Zoom-in</source>
            <translation>Zoom in</translation>
        </message>
        <message>
            <source>Zoom-out</source>
            <translation>Zoom out</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CVideoSearchController</name>
        <message>
            <source>Korv-ControlClient.bfdf212110394e6f963b40126a1aac25.msg</source>
            <translation>Searching another storage instead.</translation>
        </message>
        <message>
            <source>Korv-ControlClient.54cbc90683024161aefeed1d2dfda64a.msg</source>
            <translation>Person and vehicle search of %1 failed: %2</translation>
        </message>
        <message>
            <source>Korv-ControlClient.f6fdab1051bf4248bbf4a18a434f575c.msg</source>
            <translation>%1: searching %3 on %2 failed: </translation>
        </message>
        <message>
            <source>TheDeviceToWhichBeloMdnwPukb</source>
            <translation>the device the camera belongs to does not support searching this storage.</translation>
        </message>
        <message>
            <source>Korv-ControlClient.853a16a8b101498fa1284357d296cbe5.msg</source>
            <translation>this storage does not support this kind of search.</translation>
        </message>
        <message>
            <source>Korv-ControlClient.0cdc19656cf641c8a303bb5ca435f3d7.msg</source>
            <translation>%1: searching %3 on %2 failed: %4</translation>
        </message>
        <message>
            <source>VideoRetrievalFailedOyWUrwFt</source>
            <translation>Video retrieval of %1 failed: </translation>
        </message>
        <message>
            <source>Korv-ControlClient.0cca1652109f42cab8a326bb277002aa.msg</source>
            <translation>Content analysis search of %1 on %2 failed: </translation>
        </message>
        <message>
            <source>Korv-ControlClient.064700c0f8e84c98b55d1fd0e5bc44e1.msg</source>
            <translation>%1 does not support %2 search. </translation>
        </message>
        <message>
            <source>Korv-ControlClient.6d6bdf8d3e7a4ae4958d3550b2d9a734.button</source>
            <translation>All Recordings</translation>
        </message>
        <message>
            <source>Tag</source>
            <translation>Tag</translation>
        </message>
        <message>
            <source>LockOJORE6H7</source>
            <translation>Locked</translation>
        </message>
        <message>
            <source>POSEventdOUvfOqqIICDspQQ</source>
            <translation>POS Event</translation>
        </message>
        <message>
            <source>ATMEventDTFODgMrgGIZketC</source>
            <translation>ATM Event</translation>
        </message>
        <message>
            <source>Korv-ControlClient.162c4dce0cbf4013a4d42bbb79074730.name</source>
            <translation>Person and Vehicle</translation>
        </message>
        <message>
            <source>MotionDetecting</source>
            <translation>Motion Detection</translation>
        </message>
        <message>
            <source>LineCrossingDetection</source>
            <translation>Line Crossing Detection</translation>
        </message>
        <message>
            <source>TheCentral</source>
            <translation>Central Storage</translation>
        </message>
        <message>
            <source>EquipmentStorage</source>
            <translation>Device Storage</translation>
        </message>
        <message>
            <source>MainMemoryFnGvCDGv</source>
            <translation>Main Storage</translation>
        </message>
        <message>
            <source>AuxiliaryStoragewoaCtIrG</source>
            <translation>Auxiliary Storage</translation>
        </message>
        <message>
            <source>Device</source>
            <translation>Device</translation>
        </message>
        <message>
            <source>Korv-ControlClient.74191b2096b44926a0f4ca68ab06ec77.name</source>
            <translation>Cloud Storage</translation>
        </message>
        <message>
            <source>Korv-ControlClient.e1c2b4583fe548bfad81784a03c10553.name</source>
            <translation>Network Storage</translation>
        </message>
        <message>
            <source>Korv-ControlClient.3f68811965834afdb82705a988324075.name</source>
            <translation>File Storage</translation>
        </message>
        <message>
            <source>Korv-ControlClient.d20fd12d40f24dcba17288c3284ebef7.name</source>
            <translation>Object Storage</translation>
        </message>
    </context>
    <context>
        <name>PlexaControl::CChaseDialog</name>
        <message>
            <source>Loading...</source>
            <translation>Loading…</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CTagLockOperateController</name>
        <message>
            <source>TagModified</source>
            <translation>Tag modified.</translation>
        </message>
        <message>
            <source>ModifyingTagFailed</source>
            <translation>Modifying the tag failed. </translation>
        </message>
        <message>
            <source>TagDeleted</source>
            <translation>Tag deleted.</translation>
        </message>
        <message>
            <source>FailedToDeleteTag</source>
            <translation>Deleting the tag failed. </translation>
        </message>
        <message>
            <source>UnlockSuccessfullypKfsRLwniz</source>
            <translation>Recording unlocked.</translation>
        </message>
        <message>
            <source>UnlockingTheFileFailed</source>
            <translation>Unlocking the recording failed. </translation>
        </message>
    </context>
    <context>
        <name>CClipSearchConditionUI</name>
        <message>
            <source>SelectCameraHsYvKdTo</source>
            <translation>Camera</translation>
        </message>
        <message>
            <source>TimeRange</source>
            <translation>Time Range</translation>
        </message>
        <message>
            <source>SearchBtnUaQmRsVf</source>
            <translation>Search</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CSearchCalendarWidget</name>
        <message>
            <source>LastHoursgmqmCbcs</source>
            <translation>Last 6 Hours</translation>
        </message>
        <message>
            <source>Today</source>
            <translation>Today</translation>
        </message>
        <message>
            <source>Yesterday</source>
            <translation>Yesterday</translation>
        </message>
        <message>
            <source>InRecentDayszgNRiBjWyABzxpaj</source>
            <translation>Last 7 Days</translation>
        </message>
        <message>
            <source>CustomTimePeriodnGrjyIAp</source>
            <translation>Custom Time Period</translation>
        </message>
        <message>
            <source>Korv-ControlClient.2da317575e424ef7a8d2952d666b6168.msg</source>
            <translation>The custom period cannot be longer than %1 days.</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CTagConditionWidget</name>
        <message>
            <source>Tag</source>
            <translation>Recording Kinds</translation>
        </message>
    </context>
    <context>
        <name>CTagConditionWidgetUI</name>
        <message>
            <source>AllVideoswRkqPzTe</source>
            <translation>All Recordings</translation>
        </message>
        <message>
            <source>PersonDetectionHsmVqRtu</source>
            <translation>Person</translation>
        </message>
        <message>
            <source>VehicleDetectionBxLpQnWa</source>
            <translation>Vehicle</translation>
        </message>
        <message>
            <source>EventLinkageLabelwHnJdslk</source>
            <translation>Event-Linkage Tag</translation>
        </message>
        <message>
            <source>ManualLabelCHmnijoE</source>
            <translation>Manual Tag</translation>
        </message>
        <message>
            <source>LockedRecordingsKfTsYgNe</source>
            <translation>Locked</translation>
        </message>
        <message>
            <source>OtherTagsQzMdEwRb</source>
            <translation>Other Tag</translation>
        </message>
        <message>
            <source>TagNameJxPaVcLm</source>
            <translation>Tag name</translation>
        </message>
        <message>
            <source>All00TGYFLU</source>
            <translation>All tags</translation>
        </message>
        <message>
            <source>RedTagVnXqLsAe</source>
            <translation>Red tags</translation>
        </message>
        <message>
            <source>BlueTagKwZpRdMu</source>
            <translation>Blue tags</translation>
        </message>
        <message>
            <source>GreenTagHcYtBeQo</source>
            <translation>Green tags</translation>
        </message>
        <message>
            <source>YellowTagNsGfJaWi</source>
            <translation>Yellow tags</translation>
        </message>
    </context>
    <context>
        <name>CPlaybackBottomWidget</name>
        <message>
            <source>Save</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>Delete9MAFC19R</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>UnlockE6QTM8GR</source>
            <translation>Unlock</translation>
        </message>
        <message>
            <source>ContinuousPlaybackYLnzMwnHW</source>
            <translation>Continuous Playback</translation>
        </message>
    </context>
    <context>
        <name>CClipPlaybackTitle</name>
        <message>
            <source>Delete9MAFC19R</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>UnlockE6QTM8GR</source>
            <translation>Unlock</translation>
        </message>
        <message>
            <source>AuxiliaryScreenQmXWZ2ZF</source>
            <translation>Auxiliary Screen</translation>
        </message>
    </context>
    <context>
        <name>CClipPlaybackBaseInfoWidgetUI</name>
        <message>
            <source>CameraName</source>
            <translation>Camera Name</translation>
        </message>
        <message>
            <source>Name</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>TagTimeEZZJJQhOYyJxNDFZ</source>
            <translation>Tag Time</translation>
        </message>
        <message>
            <source>AiNYGMWO</source>
            <translation>Type</translation>
        </message>
        <message>
            <source>Description</source>
            <translation>Description</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CClipPlaybackTitle</name>
        <message>
            <source>PlaybackDetailsWv2hJ3Tp</source>
            <translation>Playback Details</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CClipPlaybackWidget</name>
        <message>
            <source>TheBasicInformation</source>
            <translation>Basic Information</translation>
        </message>
        <message>
            <source>Korv-ControlClient.bc78ddbf48e24c41805a661478dae463.button</source>
            <translation>Map</translation>
        </message>
        <message>
            <source>Korv-ControlClient.bd2aa708805d4b55aa16d8e0f2398246.msg</source>
            <translation>The tag was changed. Save the changes?</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CListSightWidget</name>
        <message>
            <source>NoDataqrhgooag</source>
            <translation>No data</translation>
        </message>
        <message>
            <source>Korv-ControlClient.9b1cdf205cd14d02bc47805f5ebc5a79.button</source>
            <translation>Configure VCA</translation>
        </message>
        <message>
            <source>TimeRange</source>
            <translation>Time Range</translation>
        </message>
        <message>
            <source>TimeRangeclientTimeHsyuNss</source>
            <translation>Time Range (Client Time)</translation>
        </message>
        <message>
            <source>TimeRangeequipmentTijNGsngcc</source>
            <translation>Time Range (Device Time)</translation>
        </message>
        <message>
            <source>Camera</source>
            <translation>Camera</translation>
        </message>
        <message>
            <source>Duration</source>
            <translation>Duration</translation>
        </message>
        <message>
            <source>TagName</source>
            <translation>Tag Name</translation>
        </message>
        <message>
            <source>AiNYGMWO</source>
            <translation>Tag Type</translation>
        </message>
        <message>
            <source>Description</source>
            <translation>Description</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CListSightTableView</name>
        <message>
            <source>NoDataqrhgooag</source>
            <translation>No data</translation>
        </message>
    </context>
    <context>
        <name>CVideoExporter</name>
        <message>
            <source>NothingToExportQm4hTz</source>
            <translation>There is nothing to export.</translation>
        </message>
        <message>
            <source>ExportFolderNotWritableRb7uPd</source>
            <translation>This folder cannot be written:</translation>
        </message>
        <message>
            <source>ExportFileNameInvalidWc2nLs</source>
            <translation>This file name is not valid:</translation>
        </message>
        <message>
            <source>ExportFileExistsHd8kVe</source>
            <translation>This file already exists and is kept:</translation>
        </message>
        <message>
            <source>ExportFileFailedXj5mQa</source>
            <translation>The export failed and no file was kept. This file could not be exported:</translation>
        </message>
        <message>
            <source>ExportCancelledTb3wNy</source>
            <translation>The export was cancelled; no file was kept.</translation>
        </message>
        <message>
            <source>ExportArchiveFailedPe9vJh</source>
            <translation>The export failed and no file was kept. This encrypted archive could not be written:</translation>
        </message>
        <message>
            <source>ExportFinishedLs6gRc</source>
            <translation>Export finished. Files written:</translation>
        </message>
        <message>
            <source>DownloadFailedHTeWUwnETM</source>
            <translation>The download failed: </translation>
        </message>
    </context>
    <context>
        <name>tesk_ui_data_controller::CVideoListFramModel</name>
        <message>
            <source>FileName</source>
            <translation>File Name</translation>
        </message>
        <message>
            <source>TimeRange</source>
            <translation>Time Range</translation>
        </message>
        <message>
            <source>FileType</source>
            <translation>File Type</translation>
        </message>
    </context>
    <context>
        <name>tesk_ui_data_controller::CDownloadFrameForVideoSearch</name>
        <message>
            <source>MergeFiles</source>
            <translation>Merge files</translation>
        </message>
        <message>
            <source>Browse</source>
            <translation>Browse…</translation>
        </message>
        <message>
            <source>PasswordOptional</source>
            <translation>Optional: files go into an encrypted ZIP archive</translation>
        </message>
        <message>
            <source>DownloadPlayer</source>
            <translation>Download the player</translation>
        </message>
        <message>
            <source>SaveAsEvidence</source>
            <translation>Save as evidence</translation>
        </message>
        <message>
            <source>SavePath</source>
            <translation>Save path</translation>
        </message>
        <message>
            <source>Password</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>FileFormat</source>
            <translation>File format</translation>
        </message>
        <message>
            <source>Download</source>
            <translation>Download</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>ChooseSavePathFirst</source>
            <translation>Choose a save path first.</translation>
        </message>
        <message>
            <source>TotalSize</source>
            <translation>Total size</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::ClipVideoSearchWidget</name>
        <message>
            <source>AllcSpYojNvHY</source>
            <translation>All</translation>
        </message>
        <message>
            <source>OpenTheAuxiliaryScreen</source>
            <translation>Open on the auxiliary screen</translation>
        </message>
        <message>
            <source>Korv-ControlClient.bd65e8971797411f9f58e46bf0b3d043.name</source>
            <translation>Results: %1</translation>
        </message>
        <message>
            <source>Korv-ControlClient.0cf1e200f3b445b787bdec4c3cf6f964.msg</source>
            <translation>No results yet. Choose cameras, a period and the kinds of recordings, then click Search.</translation>
        </message>
        <message>
            <source>Korv-ControlClient.a8c572d832d44c3ab73022acaad82c02.msg</source>
            <translation>The results have changed; automatic play continues from the first result of the page.</translation>
        </message>
        <message>
            <source>AreYouSureYouWantToUjGKXIIef</source>
            <translation>Are you sure you want to unlock this recording?</translation>
        </message>
        <message>
            <source>AreYouSureToDelete%xIsoHDtGE</source>
            <translation>Are you sure you want to delete the tag "%1"?</translation>
        </message>
        <message>
            <source>Korv-ControlClient.6d6bdf8d3e7a4ae4958d3550b2d9a734.button</source>
            <translation>All Recordings</translation>
        </message>
        <message>
            <source>Korv-ControlClient.eba19218bce74f6db2a7f280f9a429b2.button</source>
            <translation>Person</translation>
        </message>
        <message>
            <source>Korv-ControlClient.d261d10592204198a9996fdd05aba7a5.button</source>
            <translation>Vehicle</translation>
        </message>
        <message>
            <source>Korv-ControlClient.dd857e56a68f4e969d640a5e5389129e.button</source>
            <translation>Event Tag</translation>
        </message>
        <message>
            <source>ManualLabelCHmnijoE</source>
            <translation>Manual Tag</translation>
        </message>
        <message>
            <source>Korv-ControlClient.9129062b28b14815a4f921209827a32a.button</source>
            <translation>Locked</translation>
        </message>
        <message>
            <source>Korv-ControlClient.537c010bc27d4e549eef5ad12f691daf.name</source>
            <translation>Other Tag</translation>
        </message>
    </context>
    <context>
        <name>PlexaControl::CModalTipDialog</name>
        <message>
            <source>Prompt</source>
            <translation>Confirm</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
    </context>
    <context>
        <name>tesk_ui_data_controller::CCommonExpandCollapseWidget</name>
        <message>
            <source>Collapse</source>
            <translation>Hide the conditions</translation>
        </message>
        <message>
            <source>Expand</source>
            <translation>Show the conditions</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CAbstractSearchWidget</name>
        <message>
            <source>SearchDataIsLargeStovuZwzwjc</source>
            <translation>Too many recordings were found; only part of them is shown. Choose a shorter period or fewer cameras.</translation>
        </message>
        <message>
            <source>Korv-ControlClient.00555b8284a241aea8f391ad30033d55.button</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>Korv-ControlClient.00555b8284a241aea8f391ad30033d55.button</source>
            <comment>sort order</comment>
            <translation>By Camera</translation>
        </message>
        <message>
            <source>Korv-ControlClient.bcfd712953a54a669ecea8ef87b53bed.msg</source>
            <comment>sort order</comment>
            <translation>By Time</translation>
        </message>
        <message>
            <source>PleaseSelectTheMonitoringPoint</source>
            <translation>Please select cameras</translation>
        </message>
        <message>
            <source>DisplayThumbnailsEENmRjEnPWq</source>
            <translation>Show Thumbnails</translation>
        </message>
        <message>
            <source>ShowList</source>
            <translation>Show List</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CAllVideoSearchWidget</name>
        <message>
            <source>WillIsDividedIntoPieGWhZgvlA</source>
            <translation>%1 is split into %2 segments</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CGridThumbnailWidget</name>
        <message>
            <source>TheDeviceDoesNotSuppzzdSmzJI</source>
            <translation>The device does not support thumbnails.</translation>
        </message>
        <message>
            <source>Korv-ControlClient.aa55ff0bf0304afe837a15f33f83d21d.name</source>
            <translation>%1 hours</translation>
        </message>
        <message>
            <source>Korv-ControlClient.ea7e02cc518d44c897f04280be0780a4.name</source>
            <translation>%1 minutes</translation>
        </message>
        <message>
            <source>SegmentedVideoIsNotSmstfrjqf</source>
            <translation>This recording is not stored in segments, so it cannot be split.</translation>
        </message>
        <message>
            <source>SmfiVCqUgqgFbGJSeF</source>
            <translation>Search by picture is available once the picture has loaded.</translation>
        </message>
        <message>
            <source>MxPiMpHVdTcIHCVAfA</source>
            <translation>You have no permission to search by picture.</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CMultiPageWidget</name>
        <message>
            <source>NoDataqrhgooag</source>
            <translation>No data</translation>
        </message>
        <message>
            <source>Korv-ControlClient.9b1cdf205cd14d02bc47805f5ebc5a79.button</source>
            <translation>Configure VCA</translation>
        </message>
    </context>
    <context>
        <name>CMultiPageWidgetUI</name>
        <message>
            <source>NoDataqrhgooag</source>
            <translation>No data</translation>
        </message>
        <message>
            <source>Korv-ControlClient.9b1cdf205cd14d02bc47805f5ebc5a79.button</source>
            <translation>Configure VCA</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CMultiPageMoreWidget</name>
        <message>
            <source>More</source>
            <translation>More</translation>
        </message>
    </context>
    <context>
        <name>CMultiPageMoreWidgetUI</name>
        <message>
            <source>More</source>
            <translation>More</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CVideoOperationWidget</name>
        <message>
            <source>VideoSegmentationUHCBMEGV</source>
            <translation>Split video</translation>
        </message>
        <message>
            <source>Korv-ControlClient.846c0e77d1d54897bf272ab4eb7be3af.button</source>
            <translation>Search again</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CSegmentNumWidget</name>
        <message>
            <source>Korv-ControlClient.7e00521391434ebd95b2025a5625d21b.name</source>
            <translation>Segment length</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CVideoBackWidget</name>
        <message>
            <source>Return</source>
            <translation>Back</translation>
        </message>
    </context>
    <context>
        <name>TeskVideoSearch::CVideoSplitRecordWidget</name>
        <message>
            <source>ReturnSearchResultshTfelspf</source>
            <translation>Back to search results</translation>
        </message>
    </context>
</TS>
