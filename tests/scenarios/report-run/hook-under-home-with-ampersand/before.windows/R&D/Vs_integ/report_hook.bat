@echo off
>>"%VSZEB_TEST_ROOT%\calls.log" echo report_hook.bat "%~1"
