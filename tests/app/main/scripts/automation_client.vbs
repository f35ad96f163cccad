' One VBScript client of Quillbay's automation server (the test server's scripted coordinator
' answers): listeners put with Set, methods called, and a run of events that must arrive
' once each and in order.
'   cscript automation_client.vbs <events> <clients>
' The first line printed is "connected" once the object exists; the last is
' "events <received> out-of-order <count>", or "FAILED: <reason>".
Option Explicit
Dim expected, clients, app, progress, invokes, outOfOrder, freeSpace, deleteStates

expected = CLng(WScript.Arguments.Item(0))
clients = CLng(WScript.Arguments.Item(1))
progress = 0
invokes = 0
outOfOrder = 0
freeSpace = ""
deleteStates = ""

' Wine's VBScript has no GetRef: each listener is an object whose default member takes the event.
Class ProgressListener
    Public Default Function OnEvent(text)
        OnProgress text
    End Function
End Class

Class InvokeListener
    Public Default Function OnEvent(text)
        OnInvoke text
    End Function
End Class

Class FreeSpaceListener
    Public Default Function OnEvent(text)
        freeSpace = text
    End Function
End Class

Class DeleteDialogListener
    Public Default Function OnEvent(state)
        deleteStates = deleteStates & CStr(state)
    End Function
End Class

Sub OnProgress(text)
    Dim fields
    fields = Split(text, "|")
    If UBound(fields) <> 3 Then
        outOfOrder = outOfOrder + 1
    ElseIf CLng(fields(2)) <> progress Then
        outOfOrder = outOfOrder + 1
    End If
    progress = progress + 1
    If progress Mod 100 = 0 Then
        If app.CancelTransfer() <> 7 Then outOfOrder = outOfOrder + 1
    End If
End Sub

Sub OnInvoke(text)
    Dim fields
    fields = Split(text, "|")
    If UBound(fields) <> 11 Then
        outOfOrder = outOfOrder + 1
    ElseIf CLng(fields(0)) <> invokes Then
        outOfOrder = outOfOrder + 1
    End If
    invokes = invokes + 1
End Sub

Sub Fail(reason)
    WScript.Echo "FAILED: " & reason
    WScript.Quit 1
End Sub

' WScript.Sleep does nothing under Wine: events arrive while this thread waits in a call to the
' server, so waiting is a loop of cheap calls, with a deadline.
Function Holds(what)
    Select Case what
        Case "the free-space event"
            Holds = (freeSpace = "1|-2|0|3|4|5|6")
        Case "the delete-dialog events"
            Holds = (InStr(deleteStates, "01") > 0)
        Case "the run's events"
            Holds = (progress >= expected And invokes >= expected)
    End Select
End Function

Sub WaitUntil(what)
    Dim deadline
    deadline = Timer + 240
    Do While Not Holds(what)
        If Timer > deadline Then Fail "timed out waiting for " & what
        app.GetVersion
    Loop
End Sub

On Error Resume Next
Set app = CreateObject("TavrelQuillbay.TavrelQuillbayApp.1")
If Err.Number <> 0 Then Fail "CreateObject: " & Err.Description & " (" & Hex(Err.Number) & ")"
' The runner starts the other clients once this line is out.
WScript.Echo "connected"
Set app.listenerProgress = New ProgressListener
Set app.listenerInvoke = New InvokeListener
Set app.listenerUpdateFreeSpace = New FreeSpaceListener
Set app.listenerDeleteDialog = New DeleteDialogListener
If Err.Number <> 0 Then Fail "putting a listener: " & Err.Description & " (" & Hex(Err.Number) & ")"
On Error GoTo 0

If app.GetVersion() <> "1.2.0.0" Then Fail "GetVersion gave " & app.GetVersion()
If app.GetResource(139) <> "Quillbay" Then Fail "GetResource(139) gave " & app.GetResource(139)
If app.Transfer("E:\Music", -1, 4) <> 1004 Then Fail "Transfer kind -1 is not read as 1"
If app.Invoke() <> 1 Then Fail "Invoke did not give the coordinator's answer"
app.FireSpace
WaitUntil "the free-space event"
app.OpenDeleteDialog 2
WaitUntil "the delete-dialog events"
If app.Transfer("run|" & expected & "|" & clients, 1, 0) <> 1 Then Fail "the run was not accepted"
WaitUntil "the run's events"

' Let go of the listeners while this client still waits in calls to the server.
Set app.listenerProgress = Nothing
Set app.listenerInvoke = Nothing
app.GetVersion
Set app = Nothing
WScript.Echo "events " & progress & " out-of-order " & outOfOrder
