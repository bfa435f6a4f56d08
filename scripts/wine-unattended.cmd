@echo off
rem Tarnwick.exe's command line end to end, as a logon script runs it: every command and every
rem exit code, the registry exported wherever two states are compared, and the sample logon
rem script twice. Everything lands in the folder "out" beside this file: NAME.out and NAME.err
rem for each run, "codes.txt" with a line "NAME EXITCODE" each, and the exports. Run by
rem scripts/wine-unattended.sh, which sets the stage and checks the results.
rem   wine-unattended.cmd              the whole sequence
rem   wine-unattended.cmd storm LOG    20 runs that append to LOG, as one computer at logon
setlocal
cd /d "%~dp0"
if "%~1"=="storm" goto storm
set OUT=%~dp0out
set BACKUPS=%APPDATA%\Tarnwick\Backups
set LOG=%~dp0Logs\tarnwick.log
if exist "%OUT%" rd /s /q "%OUT%"
mkdir "%OUT%"
if not exist "%~dp0Logs" mkdir "%~dp0Logs"

call :run bad /sett Maxthon
call :run log-empty /query /log ""

rem A writer holds the turn of held.log for ever (wine-unattended.sh started it): a run costs
rem no more than the deadline, and ends with its own exit code.
call :run held /query /log "%~dp0Logs\held.log"
Tarnwick.exe /? >"%OUT%\help.out" 2>"%OUT%\help.err"
>>"%OUT%\codes.txt" echo help %ERRORLEVEL%

rem A browser that is not installed changes nothing at all.
call :export other
call :run missing /set "Mozilla Firefox"
call :export after-missing
call :run neither /set Opera
call :run query-none /query
rem A path that the current folder completes is refused, though it names a program there.
pushd "%ProgramFiles%"
"%~dp0Tarnwick.exe" /set Maxthon\Maxthon.exe >"%OUT%\relative.out" 2>"%OUT%\relative.err"
>>"%OUT%\codes.txt" echo relative %ERRORLEVEL%
popd

rem Set once; the second run leaves it, and takes no backup.
call :run once1 /set Maxthon /once /log "%LOG%"
reg query "HKCU\Software\Classes\http\Shell\MyHTMLFile\Command" /ve >"%OUT%\http-command.txt" 2>&1
call :run once2 /set maxthon /once /log "%LOG%"
dir /b "%BACKUPS%" >"%OUT%\backups-after-once.txt" 2>&1
call :run query /query
call :run check /check Maxthon
call :run list /list
reg add "HKCU\Software\Classes\https\Shell" /ve /d open /f >nul
call :run drifted /check Maxthon /log "%LOG%"

rem Undo restores what the last change changed; a second undo redoes it.
call :export before-set
call :run set /set Maxthon
call :export after-set
call :run set-again /set Maxthon
call :run undo /undo
call :export after-undo
call :run redo /undo
call :export after-redo

rem Backups this program did not write are never imported: one that writes a Run key, named to
rem be the newest, is refused whole; one named for a day far ahead, and a folder with a
rem backup's name, are passed over for the newest real backup.
copy /y planted-run.reg "%BACKUPS%\2001-01-01 00-00-00 #999999 Apply Maxthon.reg" >nul
call :run planted /undo
reg query "HKLM\Software\Microsoft\Windows\CurrentVersion\Run" /v Updater >"%OUT%\run-key.txt" 2>&1
call :export after-planted
del "%BACKUPS%\2001-01-01 00-00-00 #999999 Apply Maxthon.reg"
copy /y planted-run.reg "%BACKUPS%\9999-12-31 23-59-59 #1 Apply Maxthon.reg" >nul
mkdir "%BACKUPS%\2002-01-01 00-00-00 #999998 Reset.reg"
call :run far-future /undo
call :export after-far-future

reg add "HKCU\Software\Wine\AppDefaults\Tarnwick.exe" /v Version /d win2k /f >nul
call :run refused /query
reg delete "HKCU\Software\Wine\AppDefaults\Tarnwick.exe" /f >nul

rem No backups to undo; then a file where the backups belong, so none can be saved.
ren "%BACKUPS%" Backups.kept
call :run no-backup /undo
echo not a folder>"%BACKUPS%"
call :export before-unsaved
call :run unsaved /set Maxthon
call :export after-unsaved
del "%BACKUPS%"
ren "%APPDATA%\Tarnwick\Backups.kept" Backups

rem Keys that refuse a change: a volatile key takes no lasting key below it, and a key with a
rem sub-key whose name holds a NUL cannot be deleted by name.
tarnwick-registry-traps.exe volatile Software\Classes\MyInternetShortcut
call :run writes-failed /set Maxthon
tarnwick-registry-traps.exe remove Software\Classes\MyInternetShortcut
tarnwick-registry-traps.exe undeletable Software\Classes\http
call :run reset-incomplete /reset
tarnwick-registry-traps.exe remove Software\Classes\http
call :run reset /reset
call :run quiet /query /quiet

rem The sample logon script, its log set and its browser installed: it sets the browser, then
rem leaves it.
if not exist "%ProgramFiles%\Mozilla Firefox" mkdir "%ProgramFiles%\Mozilla Firefox"
copy /y Tarnwick.exe "%ProgramFiles%\Mozilla Firefox\firefox.exe" >nul
call set-default-browser.cmd
>>"%OUT%\codes.txt" echo logon-script %ERRORLEVEL%
cd /d "%~dp0"
call set-default-browser.cmd
>>"%OUT%\codes.txt" echo logon-script-again %ERRORLEVEL%
cd /d "%~dp0"
call :run query-firefox /query
dir /b "%BACKUPS%" >"%OUT%\backups-at-end.txt" 2>&1

rem As shipped, it stops until its log is set.
call set-default-browser-as-shipped.cmd 2>"%OUT%\logon-script-unset.err"
>>"%OUT%\codes.txt" echo logon-script-unset %ERRORLEVEL%
exit /b 0

:run
set NAME=%~1
shift
Tarnwick.exe %1 %2 %3 %4 %5 %6 %7 %8 %9 >"%OUT%\%NAME%.out" 2>"%OUT%\%NAME%.err"
>>"%OUT%\codes.txt" echo %NAME% %ERRORLEVEL%
exit /b

:export
reg export "HKCU\Software\Classes" "%OUT%\%~1-classes.reg" /y >nul 2>&1
reg export "HKCU\Software\Clients" "%OUT%\%~1-clients.reg" /y >nul 2>&1
reg export "HKCU\Software\Microsoft\Internet Explorer\Main" "%OUT%\%~1-iemain.reg" /y >nul 2>&1
reg export "HKLM\Software\Clients" "%OUT%\%~1-machine.reg" /y >nul 2>&1
exit /b

:storm
for /l %%i in (1,1,20) do Tarnwick.exe /check Maxthon /quiet /log "%~2"
exit /b 0
