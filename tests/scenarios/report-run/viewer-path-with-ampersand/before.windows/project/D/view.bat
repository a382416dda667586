@echo off
>>"%VSZEB_TEST_ROOT%\decoy.log" echo decoy
