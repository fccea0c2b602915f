#!/bin/bash
# Job of the image build's one writable boot: creates the 32-bit Wine prefix
# once, so that later boots do not pay the minutes it takes under TCG.
set -eux
export WINEPREFIX=/root/.wine WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine --version
time wineboot --init
# No window manager runs on the guest's virtual display: unmanaged windows
# spare Wine a two-second wait at every window that closes.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
# Debian's Wine 8 looks for its own fonts (fonts-wine) in a folder that does
# not exist (/usr/share/fonts, beside its data folder) and falls back to other
# faces: caption buttons then show the letter "r", and dialogs lose the MS Sans
# Serif of their templates (a bitmap font, sserife.fon). From the prefix's
# Fonts folder it loads them all.
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
wineserver -w
du -sh "$WINEPREFIX"
