// SPDX-FileCopyrightText: 2026 Tarvio developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/LineEvents.h"

#include <QCoreApplication>

#include "link/SerialPort.h"

QString LineEventMessage(int code)
{
    switch (code) {
    case LineEventCode::CtsChange: return QCoreApplication::translate("LineEvents", "CTS 회선에서 변경");
    case LineEventCode::Break: return QCoreApplication::translate("LineEvents", "정지 신호가 수신되었습니다.");
    case LineEventCode::CtsTimeout: return QCoreApplication::translate("LineEvents", "전송 취소 시간 초과(CTS).");
    case LineEventCode::DsrTimeout: return QCoreApplication::translate("LineEvents", "데이터 설정 준비(DSR) 시간 초과.");
    case LineEventCode::Frame: return QCoreApplication::translate("LineEvents", "프레이밍 오류.");
    case LineEventCode::Overrun: return QCoreApplication::translate("LineEvents", "포트 넘침.");
    case LineEventCode::CdTimeout: return QCoreApplication::translate("LineEvents", "반송파 검출(CD) 시간 초과.");
    case LineEventCode::RxOver: return QCoreApplication::translate("LineEvents", "수신 버퍼 오버플로우.");
    case LineEventCode::RxParity: return QCoreApplication::translate("LineEvents", "패리티 오류.");
    case LineEventCode::TxFull: return QCoreApplication::translate("LineEvents", "전송 버퍼 가득 참.");
    case LineEventCode::Dcb: return QCoreApplication::translate("LineEvents", "컨트롤 블럭(DSB) 검색 중 예기치 못한 오류");
    default: return QString();
    }
}

QList<int> LineEventsBetween(const LineCounters& before, const LineCounters& after)
{
    QList<int> codes;
    auto moved = [&](quint32 a, quint32 b, int code) {
        if (a != b)
            codes.append(code);
    };
    moved(before.Break, after.Break, LineEventCode::Break);
    moved(before.Frame, after.Frame, LineEventCode::Frame);
    moved(before.Overrun, after.Overrun, LineEventCode::Overrun);
    moved(before.BufOverrun, after.BufOverrun, LineEventCode::RxOver);
    moved(before.Parity, after.Parity, LineEventCode::RxParity);
    moved(before.Cts, after.Cts, LineEventCode::CtsChange);
    moved(before.Dsr, after.Dsr, LineEventCode::DsrChange);
    moved(before.Dcd, after.Dcd, LineEventCode::CdChange);
    moved(before.Ring, after.Ring, LineEventCode::Ring);
    return codes;
}

Outcome OpenFailure(OpenError error, const QString& device, const QString& detail)
{
    const QString head = QCoreApplication::translate("LineEvents", "통신포트를 열 수 없습니다: %1\n").arg(device);
    QString advice;
    switch (error) {
    case OpenError::NotFound:
        advice = QCoreApplication::translate("LineEvents", "장치가 없습니다. 케이블과 USB 어댑터가 연결되어 있는지 확인하세요.");
        break;
    case OpenError::Busy:
        advice = QCoreApplication::translate("LineEvents", "다른 프로그램이 이 포트를 사용하고 있습니다. 그 프로그램을 닫고 다시 여세요.");
        break;
    case OpenError::PermissionDenied:
        advice = QCoreApplication::translate("LineEvents", "접근 권한이 없습니다. 사용자를 dialout 그룹에 추가하고 (sudo usermod -aG dialout $USER) 다시 로그인하세요.");
        break;
    case OpenError::Other:
        advice = QCoreApplication::translate("LineEvents", "열기 실패 (%1)").arg(detail);
        break;
    }
    return Outcome::Failed(head + advice, detail);
}

QString DeviceLostMessage(const QString& device, const QString& reason)
{
    return QCoreApplication::translate("LineEvents", "통신포트 연결이 끊어졌습니다: %1 (%2) 포트를 닫았습니다.").arg(device, reason);
}

Outcome ConnectFailure(ConnectError error, const QString& address, const QString& host, const QString& detail)
{
    const QString head = QCoreApplication::translate("LineEvents", "통신포트를 열 수 없습니다: %1\n").arg(address);
    QString advice;
    switch (error) {
    case ConnectError::BadAddress:
        advice = QCoreApplication::translate("LineEvents", "주소를 읽을 수 없습니다. tcp://호스트:포트 또는 rfc2217://호스트:포트 형식으로 쓰세요.");
        break;
    case ConnectError::UnknownHost:
        advice = QCoreApplication::translate("LineEvents", "호스트 %1을(를) 찾을 수 없습니다. 이름이나 주소를 확인하세요.").arg(host);
        break;
    case ConnectError::Refused:
        advice = QCoreApplication::translate("LineEvents", "연결이 거부되었습니다. 장치 서버가 실행 중이고 포트 번호가 맞는지 확인하세요.");
        break;
    case ConnectError::Unreachable:
        advice = QCoreApplication::translate("LineEvents", "호스트 %1에 닿을 수 없습니다. 네트워크 연결과 주소를 확인하세요.").arg(host);
        break;
    case ConnectError::TimedOut:
        advice = QCoreApplication::translate("LineEvents", "응답이 없어 연결하지 못했습니다 (시간 초과). 장치 서버가 켜져 있고 네트워크에 연결되어 있는지 확인하세요.");
        break;
    case ConnectError::ClosedAtOnce:
        advice = detail.isEmpty()
            ? QCoreApplication::translate("LineEvents", "장치 서버가 연결을 받자마자 끊었습니다. 서버의 직렬 포트가 연결되어 있고 다른 프로그램이 쓰고 있지 않은지 확인하세요.")
            : QCoreApplication::translate("LineEvents", "장치 서버가 연결을 받자마자 끊었습니다 (%1). 서버의 직렬 포트가 연결되어 있고 다른 프로그램이 쓰고 있지 않은지 확인하세요.").arg(detail);
        break;
    case ConnectError::Other:
        advice = QCoreApplication::translate("LineEvents", "연결 실패 (%1)").arg(detail);
        break;
    }
    return Outcome::Failed(head + advice, detail);
}

QString RawNetworkNote(const QString& address)
{
    return QCoreApplication::translate("LineEvents", "%1: TCP 연결에는 통신 속도, 패리티, 데이터 비트, 정지 비트와 흐름 제어가 전달되지 않습니다. 장치 서버에서 회선을 설정하세요.").arg(address);
}

QString ComPortRefusedNote(const QString& address)
{
    return QCoreApplication::translate("LineEvents", "%1: 장치 서버가 RFC 2217 통신포트 설정을 받지 않습니다. 통신 속도, 패리티, 데이터 비트, 정지 비트와 흐름 제어는 장치 서버에서 설정하세요.").arg(address);
}
