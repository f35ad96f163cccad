// The edges of a run: cancelling it, finishing it and the report the log dialog shows.
#include "app/coordinator/QBCommonManager.h"

#include <process.h>

#include "app/coordinator/QBCommonManagerInternal.h"
#include "app/coordinator/RunReport.h"
#include "library/contents/UiThreadWait.h"

using namespace coordinator;


unsigned __stdcall CQBCommonManager::CancelThreadEntry(void* self) {
    static_cast<CQBCommonManager*>(self)->StopStages();
    return 0;
}

void CQBCommonManager::StopStages() {
    CRunnableTNContentHandler* runnable[] = {&contents_, &movieConvert_, &checker_, &dataInsert_, &transfer_};
    for (CRunnableTNContentHandler* stage : runnable) stage->Cancel();
    lookupGroup_.CancelAll();
    analysisGroup_.CancelAll();
    movieConvert_.Cancel();
    transfer_.CancelTransfer();

    for (CRunnableTNContentHandler* stage : runnable) {
        stage->Reset();
        if (!stage->IsAccepting()) stage->WaitAccepting();
    }
    lookupGroup_.Reset();
    analysisGroup_.Reset();
    lookupGroup_.WaitAllAccepting();
    analysisGroup_.WaitAllAccepting();
    ResetStageCounters();
}

bool CQBCommonManager::CancelRun(bool endReport) {
    // The stages' items in work may be waiting in SendMessageW for the window's thread, which may
    // be this one: the stages are stopped from a helper thread while this one answers them.
    HANDLE helper = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, CancelThreadEntry, this, 0, nullptr));
    if (helper != nullptr) {
        WaitPumpingSentMessages(helper);
        CloseHandle(helper);
    } else {
        StopStages();
    }
    const bool reported = endReport ? OnRunFinished() : false;
    PostEvent(IAutomationEvents::kEnd);
    if (frame_ != nullptr) {
        ResetEvent(frame_->RunEvent());
        frame_->UpdateProgress(0);
    }
    return reported;
}

bool CQBCommonManager::OnRunFinished() {
    const bool composed = WriteRunReport() != 0;
    if (composed) PostEvent(IAutomationEvents::kTransferError);
    ClearResultLists();
    return composed;
}

void CQBCommonManager::ClearResultLists() {
    contents_.ClearReportListA();
    contents_.ClearReportListB();
    contents_.ClearReportListC();
    contents_.ClearReportListD();
    contents_.ClearReportListE();
    movieConvert_.ClearFailedList();
    movieConvert_.ClearUnsupportedList();
    analysisGroup_.ClearReportLists();
    dataInsert_.ClearReportList();
    transfer_.ClearFailedList();
    transfer_.ClearUnsupportedList();
    transfer_.ClearUnlistedKind1List();
    transfer_.ClearUnlistedKind4List();
}

int CQBCommonManager::WriteRunReport() {
    const std::vector<RunReportSection> sections = {
        {179, contents_.GetReportListB(), {}},
        {180, contents_.GetReportListA(), {}},
        {175, contents_.GetReportListC(), {}},
        {208, contents_.GetReportListD(), {}},
        {227, contents_.GetReportListE(), {}},
        {240, movieConvert_.GetUnsupportedList(), {}},
        {241, movieConvert_.GetFailedList(), {}},
        {181, analysisGroup_.CopyMemberList(), {}},
        {182, dataInsert_.GetReportList(), {}},
        {183, transfer_.GetFailedList(), {}},
        {242, transfer_.GetUnsupportedList(), {}},
        {173, transfer_.GetUnlistedKind1List(), transfer_.GetMusicFolder(), true},
        {173, transfer_.GetUnlistedKind4List(), transfer_.GetFolder(CTransferManager::kFeedsFolder), true},
    };
    bool any = false;
    for (const RunReportSection& section : sections) any = any || !section.entries.empty();
    if (!any) return 0;
    HMODULE module = resourceModule_;
    std::wstring report =
        ComposeRunReport(sections, [module](UINT id) { return LoadResourceText(module, id); });
    CScopedLock lock(reportLock_);
    runReport_.swap(report);
    return 1;
}

std::wstring CQBCommonManager::GetRunReport() {
    CScopedLock lock(reportLock_);
    return runReport_;
}

void CQBCommonManager::ShowLogDialog() {
    std::wstring report;
    {
        CScopedLock lock(reportLock_);
        report.swap(runReport_);
    }
    if (dialogs_ != nullptr) dialogs_->RunLogDialog(report);
}
