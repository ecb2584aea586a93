<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ko_KR">
<context>
    <name>CommInit</name>
    <message>
        <source> 통신 포트 초기화</source>
        <translation> Serial Port Setup</translation>
    </message>
    <message>
        <source>열기</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>취소</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>자동 재연결</source>
        <translation>Auto reconnect</translation>
    </message>
    <message>
        <source>잃어버린 장치가 돌아오면 같은 설정으로 다시 엽니다. 패턴 실행과 반복 전송은 다시 시작하지 않습니다.</source>
        <translation>Reopens the port with the same settings when a lost device returns. Pattern runs and repeated sending do not restart.</translation>
    </message>
    <message>
        <source>통신포트가 이미 열려 있습니다.</source>
        <translation>The serial port is already open.</translation>
    </message>
</context>
<context>
    <name>CommandTable</name>
    <message>
        <source>SOUR:VOLT {P1|P2,}{&lt;전압&gt;|MIN|MAX}</source>
        <translation>SOUR:VOLT {P1|P2,}{&lt;voltage&gt;|MIN|MAX}</translation>
    </message>
    <message>
        <source>전압 설정</source>
        <translation>Set voltage</translation>
    </message>
    <message>
        <source>설정 전압 읽기</source>
        <translation>Read set voltage</translation>
    </message>
    <message>
        <source>제어 모드 읽기 (CV / CC 모드)</source>
        <translation>Read control mode (CV / CC)</translation>
    </message>
    <message>
        <source>제어모드 읽기(CV/CC)?</source>
        <translation>Read mode (CV/CC)?</translation>
    </message>
    <message>
        <source>SOUR:CURR {P1|P2,}{&lt;전류&gt;|MIN|MAX}</source>
        <translation>SOUR:CURR {P1|P2,}{&lt;current&gt;|MIN|MAX}</translation>
    </message>
    <message>
        <source>전류 설정</source>
        <translation>Set current</translation>
    </message>
    <message>
        <source>설정 전류 읽기</source>
        <translation>Read set current</translation>
    </message>
    <message>
        <source>제품 모델명 읽기</source>
        <translation>Read model name</translation>
    </message>
    <message>
        <source>APPL {P1|P2}{,&lt;전압&gt;|MIN|MAX}{,&lt;전류&gt;|MIN|MAX}</source>
        <translation>APPL {P1|P2}{,&lt;voltage&gt;|MIN|MAX}{,&lt;current&gt;|MIN|MAX}</translation>
    </message>
    <message>
        <source>전압,전류 동시 설정</source>
        <translation>Set voltage and current</translation>
    </message>
    <message>
        <source>설정 전압,전류 동시 읽기</source>
        <translation>Read set voltage and current</translation>
    </message>
    <message>
        <source>설정값 동시 읽기</source>
        <translation>Read set values</translation>
    </message>
    <message>
        <source>디폴트 제어 상태 만들기</source>
        <translation>Reset to default state</translation>
    </message>
    <message>
        <source>순간 측정 전압 읽기</source>
        <translation>Measure voltage</translation>
    </message>
    <message>
        <source>평균 측정 전압 읽기</source>
        <translation>Measure avg. voltage</translation>
    </message>
    <message>
        <source>오류 발생 정보 모두 지우기</source>
        <translation>Clear all error information</translation>
    </message>
    <message>
        <source>에러 상태 모두 지우기</source>
        <translation>Clear all errors</translation>
    </message>
    <message>
        <source>순간 측정 전류 읽기</source>
        <translation>Measure current</translation>
    </message>
    <message>
        <source>평균 측정 전류 읽기</source>
        <translation>Measure avg. current</translation>
    </message>
    <message>
        <source>MEAS:VOLTS? {P1|P2,}{시간간격}{,읽을 갯수}</source>
        <translation>MEAS:VOLTS? {P1|P2,}{interval}{,count}</translation>
    </message>
    <message>
        <source>순간 측정 전압 여러개 읽기</source>
        <translation>Measure several voltage samples</translation>
    </message>
    <message>
        <source>순간 전압 여러개 읽기</source>
        <translation>Measure voltage samples</translation>
    </message>
    <message>
        <source>에러 발생 정보 읽기</source>
        <translation>Read error information</translation>
    </message>
    <message>
        <source>에러 상태 읽기</source>
        <translation>Read error</translation>
    </message>
    <message>
        <source>MEAS:CURRS? {P1|P2,}{시간간격}{,읽을 갯수}</source>
        <translation>MEAS:CURRS? {P1|P2,}{interval}{,count}</translation>
    </message>
    <message>
        <source>순간 측정 전류 여러개 읽기</source>
        <translation>Measure several current samples</translation>
    </message>
    <message>
        <source>순간 전류 여러개 읽기</source>
        <translation>Measure current samples</translation>
    </message>
    <message>
        <source>제품 버젼 읽기</source>
        <translation>Read version</translation>
    </message>
    <message>
        <source>출력 제어 상태 설정</source>
        <translation>Switch output on/off</translation>
    </message>
    <message>
        <source>출력 제어상태</source>
        <translation>Output on/off</translation>
    </message>
    <message>
        <source>출력 제어 상태 읽기</source>
        <translation>Read output on/off state</translation>
    </message>
    <message>
        <source>출력 제어상태 읽기</source>
        <translation>Read output on/off</translation>
    </message>
    <message>
        <source>출력 동시 제어 설정</source>
        <translation>Set output tracking</translation>
    </message>
    <message>
        <source>출력 동시 제어</source>
        <translation>Output tracking</translation>
    </message>
    <message>
        <source>출력 동시 제어 상태 읽기</source>
        <translation>Read output tracking state</translation>
    </message>
    <message>
        <source>출력 동시 제어상태 읽기</source>
        <translation>Read output tracking</translation>
    </message>
    <message>
        <source>키 잠금 상태 설정</source>
        <translation>Set key lock</translation>
    </message>
    <message>
        <source>키 잠금 제어</source>
        <translation>Key lock</translation>
    </message>
    <message>
        <source>키 잠금 상태 읽기</source>
        <translation>Read key lock state</translation>
    </message>
    <message>
        <source>키 잠금 제어 상태 읽기</source>
        <translation>Read key lock</translation>
    </message>
    <message>
        <source>오류 없음</source>
        <translation>No error</translation>
    </message>
    <message>
        <source>냉각팬 #1 오류</source>
        <translation>Cooling fan #1 fault</translation>
    </message>
    <message>
        <source>냉각팬 #2 오류</source>
        <translation>Cooling fan #2 fault</translation>
    </message>
    <message>
        <source>통신모듈 초기화 오류</source>
        <translation>Interface init failure</translation>
    </message>
    <message>
        <source>명령어 확인 하세요</source>
        <translation>Check the command</translation>
    </message>
    <message>
        <source>파라미터 확인 하세요</source>
        <translation>Check the parameter</translation>
    </message>
    <message>
        <source>파라미터 갯수 확인 하세요</source>
        <translation>Check parameter count</translation>
    </message>
    <message>
        <source>출력포트 확인 하세요</source>
        <translation>Check the output</translation>
    </message>
    <message>
        <source>Max. 입력수치 확인 하세요</source>
        <translation>Check value: above Max.</translation>
    </message>
    <message>
        <source>Min. 입력수치 확인 하세요</source>
        <translation>Check value: below Min.</translation>
    </message>
</context>
<context>
    <name>ConsoleController</name>
    <message>
        <source>응답이 빠지거나 더해져 모니터 순서를 처음부터 다시 맞췄습니다</source>
        <translation>A reply was lost or unasked: monitoring starts its cycle again</translation>
    </message>
    <message>
        <source>응답 다시 받음 (끊긴 시간 %1)</source>
        <translation>Replies again (silent for %1)</translation>
    </message>
    <message>
        <source>응답 없음 (모니터 시작 후 응답 없음)</source>
        <translation>No reply (none since monitoring started)</translation>
    </message>
    <message>
        <source>응답 없음 (마지막 응답 %1)</source>
        <translation>No reply (last reply %1)</translation>
    </message>
</context>
<context>
    <name>LineEvents</name>
    <message>
        <source>CTS 회선에서 변경</source>
        <translation>CTS line changed</translation>
    </message>
    <message>
        <source>정지 신호가 수신되었습니다.</source>
        <translation>Break received.</translation>
    </message>
    <message>
        <source>전송 취소 시간 초과(CTS).</source>
        <translation>Transmit timeout (CTS).</translation>
    </message>
    <message>
        <source>데이터 설정 준비(DSR) 시간 초과.</source>
        <translation>Data set ready (DSR) timeout.</translation>
    </message>
    <message>
        <source>프레이밍 오류.</source>
        <translation>Framing error.</translation>
    </message>
    <message>
        <source>포트 넘침.</source>
        <translation>Port overrun.</translation>
    </message>
    <message>
        <source>반송파 검출(CD) 시간 초과.</source>
        <translation>Carrier detect (CD) timeout.</translation>
    </message>
    <message>
        <source>수신 버퍼 오버플로우.</source>
        <translation>Receive buffer overflow.</translation>
    </message>
    <message>
        <source>패리티 오류.</source>
        <translation>Parity error.</translation>
    </message>
    <message>
        <source>전송 버퍼 가득 참.</source>
        <translation>Transmit buffer full.</translation>
    </message>
    <message>
        <source>컨트롤 블럭(DSB) 검색 중 예기치 못한 오류</source>
        <translation>Unexpected error reading the control block (DSB)</translation>
    </message>
    <message>
        <source>통신포트를 열 수 없습니다: %1
</source>
        <translation>Cannot open the serial port: %1
</translation>
    </message>
    <message>
        <source>장치가 없습니다. 케이블과 USB 어댑터가 연결되어 있는지 확인하세요.</source>
        <translation>No such device. Check that the cable and the USB adapter are connected.</translation>
    </message>
    <message>
        <source>다른 프로그램이 이 포트를 사용하고 있습니다. 그 프로그램을 닫고 다시 여세요.</source>
        <translation>Another program is using this port. Close that program and open the port again.</translation>
    </message>
    <message>
        <source>접근 권한이 없습니다. 사용자를 dialout 그룹에 추가하고 (sudo usermod -aG dialout $USER) 다시 로그인하세요.</source>
        <translation>Permission denied. Add your user to the dialout group (sudo usermod -aG dialout $USER) and log in again.</translation>
    </message>
    <message>
        <source>열기 실패 (%1)</source>
        <translation>Open failed (%1)</translation>
    </message>
    <message>
        <source>통신포트 연결이 끊어졌습니다: %1 (%2) 포트를 닫았습니다.</source>
        <translation>Serial port connection lost: %1 (%2). The port has been closed.</translation>
    </message>
</context>
<context>
    <name>LogReader</name>
    <message>
        <source>로그 파일을 열 수 없습니다: %1
%2</source>
        <translation>Cannot open the log file: %1
%2</translation>
    </message>
    <message>
        <source>로그 파일을 끝까지 읽지 못했습니다: %1</source>
        <translation>Could not read the log file to its end: %1</translation>
    </message>
</context>
<context>
    <name>MeasuredRun</name>
    <message>
        <source>전압</source>
        <translation>voltage</translation>
    </message>
    <message>
        <source>전류</source>
        <translation>current</translation>
    </message>
    <message>
        <source>%1 한계 %4 %3를 넘는 측정값 %2 %3: P%5 출력을 끄고 패턴 실행을 끝냈습니다.
(%6번째 반복, %7단계)</source>
        <translation>A reading of %2 %3 is above the %1 limit of %4 %3: the output was switched off and the P%5 pattern run ended.
(repetition %6, step %7)</translation>
    </message>
    <message>
        <source>공급기가 P%1 측정 질의에 답하지 않습니다. 빠진 측정값은 실행 보고서에 셉니다.</source>
        <translation>The supply does not answer the P%1 measuring queries. The run report counts the missing readings.</translation>
    </message>
</context>
<context>
    <name>MeasurementLog</name>
    <message>
        <source>측정 기록을 저장할 수 없습니다: %1 (%2)</source>
        <translation>Cannot save the measurement log: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>PatternEditing</name>
    <message>
        <source>연속</source>
        <translation>Cont.</translation>
    </message>
</context>
<context>
    <name>PatternFile</name>
    <message>
        <source>시간</source>
        <translation>time</translation>
    </message>
    <message>
        <source>전압</source>
        <translation>voltage</translation>
    </message>
    <message>
        <source>전류</source>
        <translation>current</translation>
    </message>
    <message>
        <source>패턴 파일을 끝까지 불러오지 못했습니다: %1
%2
불러온 단계: %3개</source>
        <translation>Could not load the whole pattern file: %1
%2
Steps loaded: %3</translation>
    </message>
    <message>
        <source>패턴 파일을 저장할 수 없습니다: %1
%2</source>
        <translation>Cannot save the pattern file: %1
%2</translation>
    </message>
    <message>
        <source>패턴 파일을 열 수 없습니다: %1
%2
불러온 단계: 0개</source>
        <translation>Cannot open the pattern file: %1
%2
Steps loaded: 0</translation>
    </message>
    <message>
        <source>파일이 %1번째 단계의 중간에서 끝납니다.</source>
        <translation>The file ends in the middle of step %1.</translation>
    </message>
    <message>
        <source>%1번째 단계의 %2 값이</source>
        <translation>The %2 value of step %1</translation>
    </message>
    <message>
        <source> 너무 깁니다.</source>
        <translation> is too long.</translation>
    </message>
    <message>
        <source> 비어 있습니다.</source>
        <translation> is empty.</translation>
    </message>
    <message>
        <source> 숫자가 아닙니다: &quot;%1&quot;</source>
        <translation> is not a number: &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1단계를 저장했습니다. %2번째 줄 아래의 단계 %3개는 저장하지 않았습니다.</source>
        <translation>Saved %1 steps. The %3 steps below row %2 were not saved.</translation>
    </message>
</context>
<context>
    <name>PatternPrintout</name>
    <message>
        <source> 시간(초)</source>
        <translation>  Time(s)</translation>
    </message>
    <message>
        <source> 전압(V) </source>
        <translation> Volt(V) </translation>
    </message>
    <message>
        <source>전류(A)</source>
        <translation>Curr(A)</translation>
    </message>
</context>
<context>
    <name>PatternTable</name>
    <message>
        <source> 시간</source>
        <translation> Time</translation>
    </message>
    <message>
        <source> 전압</source>
        <translation> Voltage</translation>
    </message>
    <message>
        <source> 전류</source>
        <translation> Current</translation>
    </message>
</context>
<context>
    <name>PlotView</name>
    <message>
        <source>P1 설정 V</source>
        <translation>P1 set V</translation>
    </message>
    <message>
        <source>P1 설정 A</source>
        <translation>P1 limit A</translation>
    </message>
    <message>
        <source>P2 설정 V</source>
        <translation>P2 set V</translation>
    </message>
    <message>
        <source>P2 설정 A</source>
        <translation>P2 limit A</translation>
    </message>
    <message>
        <source>전압 (V)</source>
        <translation>Voltage (V)</translation>
    </message>
    <message>
        <source>전류 (A)</source>
        <translation>Current (A)</translation>
    </message>
</context>
<context>
    <name>PlotWindow</name>
    <message>
        <source>측정 그래프</source>
        <translation>Measurement plot</translation>
    </message>
    <message>
        <source>1분</source>
        <translation>1 min</translation>
    </message>
    <message>
        <source>5분</source>
        <translation>5 min</translation>
    </message>
    <message>
        <source>15분</source>
        <translation>15 min</translation>
    </message>
    <message>
        <source>60분</source>
        <translation>60 min</translation>
    </message>
    <message>
        <source>전체</source>
        <translation>All</translation>
    </message>
    <message>
        <source>표시 구간</source>
        <translation>Span</translation>
    </message>
    <message>
        <source>로그 열기</source>
        <translation>Open log</translation>
    </message>
    <message>
        <source>실시간</source>
        <translation>Live</translation>
    </message>
    <message>
        <source>그래프 위에 마우스를 올리면 그 시각의 값이 보입니다.</source>
        <translation>Point at the plot to see the values at that time.</translation>
    </message>
    <message>
        <source>읽기 취소</source>
        <translation>Cancel reading</translation>
    </message>
    <message>
        <source>읽지 못한 값 0</source>
        <translation>Unreadable 0</translation>
    </message>
    <message>
        <source>PNG 저장</source>
        <translation>Save PNG</translation>
    </message>
    <message>
        <source>SVG 저장</source>
        <translation>Save SVG</translation>
    </message>
    <message>
        <source>CSV 저장 (보이는 구간)</source>
        <translation>CSV (view)</translation>
    </message>
    <message>
        <source>CSV 저장 (전체)</source>
        <translation>CSV (all)</translation>
    </message>
    <message>
        <source>읽지 못한 값 %1</source>
        <translation>Unreadable %1</translation>
    </message>
    <message>
        <source>그림 저장</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>PNG 그림 (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>그림을 저장할 수 없습니다: %1
%2</source>
        <translation>Cannot save the picture: %1
%2</translation>
    </message>
    <message>
        <source>SVG 그림 (*.svg)</source>
        <translation>SVG picture (*.svg)</translation>
    </message>
    <message>
        <source>CSV 저장</source>
        <translation>Save CSV</translation>
    </message>
    <message>
        <source>CSV 파일 (*.csv)</source>
        <translation>CSV file (*.csv)</translation>
    </message>
    <message>
        <source>CSV 파일을 저장할 수 없습니다: %1
%2</source>
        <translation>Cannot save the CSV file: %1
%2</translation>
    </message>
    <message>
        <source>측정 기록 (*_MS.txt);;모든 파일 (*)</source>
        <translation>Measurement logs (*_MS.txt);;All files (*)</translation>
    </message>
    <message>
        <source>로그: %1</source>
        <translation>Log: %1</translation>
    </message>
    <message>
        <source>기록 %1, 건너뛴 줄 %2, 읽지 못한 값 %3, 시간 되돌림 %4</source>
        <translation>Records %1, lines skipped %2, unreadable %3, clock set back %4</translation>
    </message>
    <message>
        <source> (중단됨)</source>
        <translation> (stopped)</translation>
    </message>
    <message>
        <source>전압·전류 나누어 보기</source>
        <translation>Separate V and A</translation>
    </message>
</context>
<context>
    <name>QtSerialDevice</name>
    <message>
        <source>장치가 사라졌습니다</source>
        <translation>device removed</translation>
    </message>
    <message>
        <source>장치 오류</source>
        <translation>device error</translation>
    </message>
    <message>
        <source>장치 오류: </source>
        <translation>device error: </translation>
    </message>
</context>
<context>
    <name>ReconnectWatch</name>
    <message>
        <source>%1 자리에 장치가 아닌 파일이 있습니다. 장치를 계속 기다립니다.</source>
        <translation>%1 is a file, not a device. Still waiting for the device.</translation>
    </message>
    <message>
        <source>%1 다시 연결됨 (끊긴 시간 %2)</source>
        <translation>%1 reconnected (lost for %2)</translation>
    </message>
    <message>
        <source>%1 다시 연결됨, 전에는 %2 (끊긴 시간 %3)</source>
        <translation>%1 reconnected, was %2 (lost for %3)</translation>
    </message>
    <message>
        <source>열리지 않음</source>
        <translation>does not open</translation>
    </message>
    <message>
        <source>%1 장치가 돌아왔지만 열 수 없습니다 (%2). 장치를 계속 기다립니다.</source>
        <translation>%1 is back but cannot be opened (%2). Still waiting for the device.</translation>
    </message>
</context>
<context>
    <name>RunEngine</name>
    <message>
        <source>첫 단계를 보내기 전</source>
        <translation>before the first step was sent</translation>
    </message>
    <message>
        <source>%1번째 반복, 마지막으로 보낸 단계 %2</source>
        <translation>repetition %1, last step sent %2</translation>
    </message>
    <message>
        <source>통신포트 연결이 끊어져 P%1 패턴 실행을 끝냈습니다 (%2).
출력 패턴은 자동으로 다시 시작하지 않습니다.</source>
        <translation>The serial connection was lost, so the P%1 pattern run has ended (%2).
The output pattern does not restart by itself.</translation>
    </message>
</context>
<context>
    <name>RunReport</name>
    <message>
        <source>실행 보고서를 저장하지 못했습니다: %1
%2</source>
        <translation>The run report could not be saved: %1
%2</translation>
    </message>
    <message>
        <source>보낸 단계 %1 / %2</source>
        <translation>Steps sent: %1 of %2</translation>
    </message>
    <message>
        <source>보낸 단계 %1 (연속)</source>
        <translation>Steps sent: %1 (continuous)</translation>
    </message>
    <message>
        <source>늦음 중앙값 / p99 / 최대: %1 / %2 / %3 ms</source>
        <translation>Lateness median / p99 / max: %1 / %2 / %3 ms</translation>
    </message>
    <message>
        <source>측정 %1 (읽을 수 없음 %2, 응답 없음 %3)</source>
        <translation>Readings: %1 (unreadable %2, missing %3)</translation>
    </message>
    <message>
        <source>한계를 넘은 측정 %1</source>
        <translation>Readings above a limit: %1</translation>
    </message>
    <message>
        <source>공급기가 알린 오류 %1</source>
        <translation>Errors the supply reported: %1</translation>
    </message>
</context>
<context>
    <name>Translations</name>
    <message>
        <source>Qt 표준 대화상자의 한국어 문구가 설치되어 있지 않습니다(qt6-translations-l10n). 파일·인쇄 대화상자와 메시지 상자의 단추는 영어로 나오고, 콘솔 자체의 문구는 영향을 받지 않습니다. 설치: sudo apt-get install qt6-translations-l10n</source>
        <translation>Qt&apos;s Korean dialog texts are not installed (qt6-translations-l10n): file and print dialogs and message-box buttons show in English; the console&apos;s own texts are unaffected. To install: sudo apt-get install qt6-translations-l10n</translation>
    </message>
</context>
<context>
    <name>UpDown</name>
    <message>
        <source>증가</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>감소</source>
        <translation>Down</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>닫혔음</source>
        <translation>Closed</translation>
    </message>
    <message>
        <source> 통신 시험용 프로그램 (RS-232C)</source>
        <translation> Communication Test Console (RS-232C)</translation>
    </message>
    <message>
        <source>P1 측정 전압</source>
        <translation>P1 measured voltage</translation>
    </message>
    <message>
        <source>P1 측정 전류</source>
        <translation>P1 measured current</translation>
    </message>
    <message>
        <source>P1 설정 전압</source>
        <translation>P1 set voltage</translation>
    </message>
    <message>
        <source>P1 설정 전류</source>
        <translation>P1 set current</translation>
    </message>
    <message>
        <source>P2 측정 전압</source>
        <translation>P2 measured voltage</translation>
    </message>
    <message>
        <source>P2 측정 전류</source>
        <translation>P2 measured current</translation>
    </message>
    <message>
        <source>P2 설정 전압</source>
        <translation>P2 set voltage</translation>
    </message>
    <message>
        <source>P2 설정 전류</source>
        <translation>P2 set current</translation>
    </message>
    <message>
        <source>수신 메시지 창</source>
        <translation>Received messages</translation>
    </message>
    <message>
        <source>메시지 보이기</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>참조 정보 창 (명령어, 에러, 모델 목록)</source>
        <translation>Reference panel (commands, errors, models)</translation>
    </message>
    <message>
        <source>모델 선택</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>통신 환경 설정</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>통신포트</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>통신포트 상태</source>
        <translation>Port state</translation>
    </message>
    <message>
        <source>명령어 전송</source>
        <translation>Send commands</translation>
    </message>
    <message>
        <source>송신 표시등</source>
        <translation>Transmit lamp</translation>
    </message>
    <message>
        <source>수신 표시등</source>
        <translation>Receive lamp</translation>
    </message>
    <message>
        <source>송신</source>
        <translation>TX</translation>
    </message>
    <message>
        <source>수신</source>
        <translation>RX</translation>
    </message>
    <message>
        <source>명령어 반복 전송</source>
        <translation>Repeat sending</translation>
    </message>
    <message>
        <source>라인 명령</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>모니터 명령</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>설정 모니터 명령</source>
        <translation>Set values</translation>
    </message>
    <message>
        <source>패턴 출력 명령</source>
        <translation>Pattern output</translation>
    </message>
    <message>
        <source>시간 간격 적용</source>
        <translation>Repeat every</translation>
    </message>
    <message>
        <source>반복 전송 간격 (mS)</source>
        <translation>Repeat interval (mS)</translation>
    </message>
    <message>
        <source>반복 전송 간격</source>
        <translation>Repeat interval</translation>
    </message>
    <message>
        <source>모니터 명령 시간 간격 (mS)</source>
        <translation>Monitor interval (mS)</translation>
    </message>
    <message>
        <source>모니터 명령 시간 간격</source>
        <translation>Monitor interval</translation>
    </message>
    <message>
        <source>명령어 선택</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>명령어 입력</source>
        <translation>Command entry</translation>
    </message>
    <message>
        <source>명령 전송</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>메시지 선택</source>
        <translation>Reference list</translation>
    </message>
    <message>
        <source>명령어</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>에러</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>기타 정보</source>
        <translation>Other info</translation>
    </message>
    <message>
        <source>도움말</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>통신포트 설정</source>
        <translation>Port settings</translation>
    </message>
    <message>
        <source>명령 중지</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>열렸음</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>재연결 대기</source>
        <translation>Reconnecting</translation>
    </message>
    <message>
        <source>그래프</source>
        <translation>Plot</translation>
    </message>
    <message>
        <source>측정 그래프 창 열기</source>
        <translation>Opens the measurement plot window</translation>
    </message>
</context>
<context>
    <name>frmPattern</name>
    <message>
        <source>P1 실행하기</source>
        <translation>Run P1</translation>
    </message>
    <message>
        <source>P2 실행하기</source>
        <translation>Run P2</translation>
    </message>
    <message>
        <source>연속</source>
        <translation>Cont.</translation>
    </message>
    <message>
        <source>셀 편집</source>
        <translation>Cell edit</translation>
    </message>
    <message>
        <source>라인 편집</source>
        <translation>Line edit</translation>
    </message>
    <message>
        <source>공급기가 거부할 단계 %1개</source>
        <translation>Over limit: %1 step(s)</translation>
    </message>
    <message>
        <source>실행 끝내기</source>
        <translation>End run</translation>
    </message>
    <message>
        <source> 출력 패턴 만들기</source>
        <translation> Output Pattern Editor</translation>
    </message>
    <message>
        <source>패턴 표 (시간, 전압, 전류)</source>
        <translation>Pattern table (time, voltage, current)</translation>
    </message>
    <message>
        <source>패턴 편집</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>라인 삽입</source>
        <translation>Insert line</translation>
    </message>
    <message>
        <source>라인 삭제</source>
        <translation>Delete line</translation>
    </message>
    <message>
        <source>새로 작성하기</source>
        <translation>New pattern</translation>
    </message>
    <message>
        <source>스텝 입력</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>현재 스텝 번호</source>
        <translation>Current step number</translation>
    </message>
    <message>
        <source>스텝 시간 (초)</source>
        <translation>Step time (s)</translation>
    </message>
    <message>
        <source>스텝 전압 (V)</source>
        <translation>Step voltage (V)</translation>
    </message>
    <message>
        <source>스텝 전류 (A)</source>
        <translation>Step current (A)</translation>
    </message>
    <message>
        <source>번호 :</source>
        <translation>No. :</translation>
    </message>
    <message>
        <source>초</source>
        <translation>s</translation>
    </message>
    <message>
        <source>시간 :</source>
        <translation>Time :</translation>
    </message>
    <message>
        <source>전압 :</source>
        <translation>Voltage :</translation>
    </message>
    <message>
        <source>전류 :</source>
        <translation>Current :</translation>
    </message>
    <message>
        <source>반복</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>반복 횟수 (0: 연속)</source>
        <translation>Repetitions (0: continuous)</translation>
    </message>
    <message>
        <source>완료한 반복 횟수</source>
        <translation>Repetitions done</translation>
    </message>
    <message>
        <source>반복 :</source>
        <translation>Repeat :</translation>
    </message>
    <message>
        <source>진행 :</source>
        <translation>Done :</translation>
    </message>
    <message>
        <source> 패턴 미리 보기 </source>
        <translation> Pattern preview </translation>
    </message>
    <message>
        <source>패턴 미리 보기 그래프</source>
        <translation>Pattern preview graph</translation>
    </message>
    <message>
        <source>패턴 진행 표시</source>
        <translation>Pattern progress</translation>
    </message>
    <message>
        <source>최대 전압 : </source>
        <translation>Max. voltage : </translation>
    </message>
    <message>
        <source>최대 전류 : </source>
        <translation>Max. current : </translation>
    </message>
    <message>
        <source>불러오기</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>저장하기</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>인쇄하기</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>측정</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <source>측정하며 실행</source>
        <translation>Measure while running</translation>
    </message>
    <message>
        <source>측정 간격 (ms, 200 이상)</source>
        <translation>Measuring interval (ms, at least 200)</translation>
    </message>
    <message>
        <source>전압 한계 (V, 비우면 없음)</source>
        <translation>Voltage limit (V, empty: none)</translation>
    </message>
    <message>
        <source>전류 한계 (A, 비우면 없음)</source>
        <translation>Current limit (A, empty: none)</translation>
    </message>
    <message>
        <source>측정값이 한계를 넘으면 출력을 끄고 (OUTP:STAT OFF) 실행을 끝냅니다. 한계는 측정하며 실행할 때만 지킵니다.</source>
        <translation>A reading above a limit switches the output off (OUTP:STAT OFF) and ends the run. Limits are kept only while measuring.</translation>
    </message>
    <message>
        <source>간격 :</source>
        <translation>Interval :</translation>
    </message>
    <message>
        <source>전압 한계</source>
        <translation>Voltage limit</translation>
    </message>
    <message>
        <source>전류 한계</source>
        <translation>Current limit</translation>
    </message>
    <message>
        <source>측정하며 실행 중</source>
        <translation>Measuring while running</translation>
    </message>
    <message>
        <source>보고서: %1</source>
        <translation>Report: %1</translation>
    </message>
    <message>
        <source>보고서를 저장하지 못했습니다</source>
        <translation>The report was not saved</translation>
    </message>
</context>
</TS>
