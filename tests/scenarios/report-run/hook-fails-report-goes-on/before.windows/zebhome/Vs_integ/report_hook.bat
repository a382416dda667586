@echo off
>>"%VSZEB_TEST_ROOT%\calls.log" echo report_hook.bat "%~1"
echo hook failed
exit /b 3
