@echo off
>>"%VSZEB_TEST_ROOT%\calls.log" echo viewer "%~1"
