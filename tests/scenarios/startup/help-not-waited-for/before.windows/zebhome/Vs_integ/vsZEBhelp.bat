@echo off
set n=0
:wait
if exist "%VSZEB_TEST_ROOT%\wrap\zebopts.rsp" goto beside
set /a n+=1
if %n% geq 20 goto alone
ping -n 2 127.0.0.1 >nul
goto wait
:beside
>>"%VSZEB_TEST_ROOT%\calls.log" echo help ran beside the dialog
exit /b 0
:alone
>>"%VSZEB_TEST_ROOT%\calls.log" echo help ran alone
