@echo off
rem set-default-browser.cmd - a sample logon script for Tarnwick.
rem
rem Put this file and Tarnwick.exe side by side in a folder that every user
rem may read: the domain's NETLOGON share, or the folder of a Group Policy
rem logon script (User Configuration > Windows Settings > Scripts). It runs
rem as the user who logs on; it copies nothing and installs nothing.
rem
rem It makes BROWSER the default browser of each user once: a user who then
rem chooses another browser keeps it. To enforce BROWSER at every logon
rem instead, remove /once from both Tarnwick.exe lines below.

setlocal
rem A browser of Tarnwick's list (Tarnwick.exe /? names them all), or the
rem full path of a browser's program file.
set BROWSER=Mozilla Firefox
rem One line per logon from every computer, in one file. SET THIS to a file on
rem a share of your own where users may append and do nothing else (README.txt
rem says how); not in NETLOGON, which users cannot write to and which is copied
rem between the domain controllers. Until it is set, the script stops here.
set LOG=\\SERVER\Logs$\default-browser.log
if /i "%LOG%"=="\\SERVER\Logs$\default-browser.log" (
  echo set-default-browser.cmd: set LOG at its top to your own log file first. 1>&2
  endlocal
  exit /b 1
)

"%~dp0Tarnwick.exe" /set "%BROWSER%" /once /quiet /log "%LOG%"
set RESULT=%ERRORLEVEL%

rem 0: set (or set once before); 3: the browser is not installed on this
rem computer; 2: a Windows later than XP. Nothing more to do for these.
if %RESULT%==0 goto done
if %RESULT%==2 goto done
if %RESULT%==3 goto done
rem 5: some settings could not be written (another program held them):
rem one more try. 4: the backup could not be saved, nothing was changed.
if %RESULT%==5 goto retry
goto done

:retry
"%~dp0Tarnwick.exe" /set "%BROWSER%" /once /quiet /log "%LOG%"
set RESULT=%ERRORLEVEL%

:done
endlocal & exit /b %RESULT%
