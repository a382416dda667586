@echo off
>>"%VSZEB_TEST_ROOT%\calls.log" echo view.bat "%~1"
