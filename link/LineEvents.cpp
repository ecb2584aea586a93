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
