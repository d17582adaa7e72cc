#include "about_box.h"

#include "../core/caption_cipher.h"
#include "../plugin/module_state.h"
#include "../resources/resource.h"
#include "resource_text.h"
#include "tool_record.h"

namespace {

// Only the scrambled bytes reach the binary.
constexpr ScrambledText<21> kHiddenCaption = Scramble("Every pixel, bigger!");

// Right, left, right, left double clicks with no movement in between.
enum GestureStep { kNothingYet = 0, kFirstRight = 1, kFirstLeft = 2, kSecondRight = 3 };

void OnInitAbout(HWND box)
{
    char text[kLabelBufferSize];
    LoadLabel(IDS_ABOUT, text);
    SetWindowTextA(box, text);
    LoadLabel(IDS_TOOLNAME, text);
    SetDlgItemTextA(box, IDC_ABOUTNAME, text);
    LoadLabel(IDS_NOTICE, text);
    SetDlgItemTextA(box, IDC_ABOUTNOTICE, text);
}

void OnRightDoubleClick()
{
    gestureCount = (gestureCount == kNothingYet || gestureCount == kFirstLeft) ? gestureCount + 1 : kNothingYet;
}

void OnLeftDoubleClick(HWND box)
{
    if (gestureCount == kFirstRight) {
        gestureCount = kFirstLeft;
        return;
    }
    if (gestureCount == kSecondRight)
        DescrambleCaption(box);
    gestureCount = kNothingYet;
}

// The box's own mark, in its dialog slot: closed by the user, so its loop is ending.
const LONG_PTR kEnded = 1;

// Destroyed with its owner (a host that closes the panel while the box is up), the box's
// loop must end too: it would otherwise wait for ever for a message to a window that is gone.
void OnDestroyAbout(HWND box)
{
    if (GetWindowLongPtrA(box, DWLP_USER) == kEnded)
        return;
    EndDialog(box, 0);
    PostMessageA(nullptr, WM_NULL, 0, 0);  // wakes the loop, which then finds it ended
}

}  // namespace

void DescrambleCaption(HWND box)
{
    char caption[kCaptionBufferSize];
    UnscrambleText(kHiddenCaption.bytes, caption);
    SetWindowTextA(box, caption);
}

void RunAboutBox(HWND owner)
{
    EndActiveDrag();
    DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDlgProc, 0);
}

INT_PTR CALLBACK AboutDlgProc(HWND box, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitAbout(box);
        return TRUE;
    case WM_COMMAND:
        SetWindowLongPtrA(box, DWLP_USER, kEnded);
        EndDialog(box, 1);
        return TRUE;
    case WM_DESTROY:
        OnDestroyAbout(box);
        return FALSE;
    case WM_MOUSEMOVE:
        gestureCount = kNothingYet;
        return TRUE;
    case WM_RBUTTONDBLCLK:
        OnRightDoubleClick();
        return TRUE;
    case WM_LBUTTONDBLCLK:
        OnLeftDoubleClick(box);
        return TRUE;
    default:
        return FALSE;
    }
}
