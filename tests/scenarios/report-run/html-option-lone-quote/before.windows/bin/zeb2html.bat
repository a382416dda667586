@echo off
rem zeb2html that notes its arguments as cmd hands them over, an open quote and all.
>>"%VSZEB_TEST_ROOT%\calls.log" echo zeb2html %*
>&2 echo zeb2html warns
exit /b 0
