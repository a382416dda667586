@echo off
rem Two presses start two of these at once; the second append to calls.log
rem would fail while the first holds the file, so they take turns.
:wait
ver >nul
mkdir "%VSZEB_TEST_ROOT%\help.lock" 2>nul
if errorlevel 1 goto wait
>>"%VSZEB_TEST_ROOT%\calls.log" echo help in %CD%
rmdir "%VSZEB_TEST_ROOT%\help.lock"
