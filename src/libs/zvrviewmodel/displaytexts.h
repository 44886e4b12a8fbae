// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#ifndef ZVR_DISPLAYTEXTS_H
#define ZVR_DISPLAYTEXTS_H

#include <QString>

// The tool's fixed display texts, one copy of each in the program. They are the system's
// own Chinese texts and are not passed through tr(); the record's text tables are.
inline const QString STR_ALL = QStringLiteral("全部");
inline const QString STR_NORMAL = QStringLiteral("正常");
inline const QString STR_IP_CONFLICT = QStringLiteral("IP冲突");
inline const QString STR_LINK_FAULT = QStringLiteral("链路故障");
inline const QString STR_ONLINE = QStringLiteral("在线");
inline const QString STR_OFFLINE = QStringLiteral("离线");
inline const QString STR_MALFUNCTION = QStringLiteral("故障");
inline const QString STR_TEMPERATURE_ABNORMAL = QStringLiteral("温度异常");
inline const QString STR_VOLTAGE_ABNORMAL = QStringLiteral("电压异常");
inline const QString STR_MODIFY_SUCCESS = QStringLiteral("修改成功");
inline const QString STR_MODIFY_FAILURE = QStringLiteral("修改失败");
inline const QString STR_MODIFY_RESULT = QStringLiteral("修改成功%1个, 失败%2个");
inline const QString STR_MODIFY_TOTAL = QStringLiteral("共计修改%1个，成功%2个");
inline const QString STR_MODIFYING_WAIT = QStringLiteral("修改设备网络参数中, 请稍后");
inline const QString STR_IP_OCCUPIED = QStringLiteral("设备ip地址已被占用");
inline const QString STR_NETWORK_UNCHANGED = QStringLiteral("网络配置无修改");
inline const QString STR_DEVICE_OFFLINE = QStringLiteral("设备已离线");
inline const QString STR_PORT_IP_SAME = QStringLiteral("网口IP地址不能相同");
inline const QString STR_SELECT_DEVICE_FIRST = QStringLiteral("请先选择要修改的设备");
inline const QString STR_NETWORK_PORT = QStringLiteral("网口");
inline const QString STR_IP_ADDRESS = QStringLiteral("ip地址");
inline const QString STR_SUBNET_MASK = QStringLiteral("子网掩码");
inline const QString STR_GATEWAY_ADDRESS = QStringLiteral("网关地址");
inline const QString STR_INVALID_IP = QStringLiteral("%1是无效的ip地址");
inline const QString STR_FONT_FAMILY = QStringLiteral("微软雅黑");
inline const QString STR_HORIZONTAL = QStringLiteral("水平");
inline const QString STR_VERTICAL = QStringLiteral("垂直");
inline const QString STR_CONNECT = QStringLiteral("连接");
inline const QString STR_SERIAL_PORT_BUSY = QStringLiteral("失败。请确认该串口是否被其他程序占用。");
inline const QString STR_FIRST_BYTE_RANGE = QStringLiteral("首字节只能用1~223之间的值");
inline const QString STR_FIRST_BYTE_127 = QStringLiteral("首字节不能用127");
inline const QString STR_MASK_NOT_CONTIGUOUS = QStringLiteral("子网掩码必须是相邻的");
inline const QString STR_HOST_BITS_ZERO
    = QStringLiteral("IP地址和子网掩码组合无效。已将IP地址的主机地址部分的所有位数都设为0."
                     "请输入一个有效的IP地址和子网掩码组合");
inline const QString STR_HOST_BITS_ONE
    = QStringLiteral("IP地址和子网掩码组合无效。已将IP地址的主机地址部分的所有位数都设为1."
                     "请输入一个有效的IP地址和子网掩码组合");

#endif // ZVR_DISPLAYTEXTS_H
