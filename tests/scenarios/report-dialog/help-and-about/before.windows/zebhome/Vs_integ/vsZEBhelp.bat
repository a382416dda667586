@echo off
>>"%VSZEB_TEST_ROOT%\calls.log" echo help in %CD%
