// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
// A widely used ONVIF client against the emulator on a private network: discovery,
// reads, a refused and an accepted change, and the device found at its new address.
'use strict';
const onvif = require('onvif');
const { promisify } = require('util');

const port = Number(process.argv[2] || 80);
const password = process.env.ZVR_DEVICESIM_PASSWORD || 'admin';
const fail = (what) => { console.error('FAIL: ' + what); process.exit(1); };
// A callback the client never calls leaves nothing to wait for: node would end with 0.
let passed = false;
process.on('exit', (code) => {
    if (code === 0 && !passed) {
        console.error('FAIL: the client stopped before the end');
        process.exitCode = 1;
    }
});
const probe = () => new Promise((resolve) =>
    onvif.Discovery.probe({ device: 'lo', timeout: 2500 }, (errors, cams) => resolve(cams || [])));
const camera = (hostname, secret) => new Promise((resolve, reject) => {
    const cam = new onvif.Cam({ hostname, port, username: 'admin', password: secret, autoconnect: false });
    cam.connect((error) => (error ? reject(error) : resolve(cam)));
});
const call = (cam, name, ...args) => promisify(cam[name]).apply(cam, args);

(async () => {
    const found = await probe();
    if (found.length === 0) fail('no device answered the probe');
    console.log(`onvif ${require('onvif/package.json').version}: ${found.length} devices answered the probe`);

    for (const seen of found.slice(0, 5)) {
        const cam = await camera(seen.hostname, password);
        const info = await call(cam, 'getDeviceInformation');
        const interfaces = await call(cam, 'getNetworkInterfaces');
        const first = [].concat(interfaces)[0];
        if (first.IPv4.config.manual.address !== seen.hostname) fail(`${seen.hostname} reports ${first.IPv4.config.manual.address}`);
        console.log(`${seen.hostname}: ${info.model} ${info.serialNumber} ${info.firmwareVersion}, ${[].concat(interfaces).length} interfaces`);
    }

    const target = found[0];
    const targetSerial = (await call(await camera(target.hostname, password), 'getDeviceInformation')).serialNumber;
    const change = (cam, address) => call(cam, 'setNetworkInterfaces', {
        interfaceToken: 'eth0',
        networkInterface: { enabled: true, IPv4: { enabled: true, DHCP: false, manual: { address, prefixLength: 24 } } },
    });
    const intruder = await camera(target.hostname, password + '-wrong');
    try {
        await change(intruder, '192.168.200.77');
        fail('a wrong password was accepted');
    } catch (error) {
        if (!/not authorized/i.test(String(error.message || error))) fail('wrong password: ' + error);
        console.log('wrong password refused: ' + String(error.message || error).split('\n')[0]);
    }

    const admin = await camera(target.hostname, password);
    await change(admin, '192.168.200.77');
    await call(admin, 'setNetworkDefaultGateway', { IPv4Address: '192.168.200.1' });
    console.log(`${target.hostname} moved to 192.168.200.77`);

    const after = await probe();
    if (after.some((cam) => cam.hostname === target.hostname)) fail('the old address still answers the probe');
    if (!after.some((cam) => cam.hostname === '192.168.200.77')) fail('the device is not found at its new address');
    const moved = await camera('192.168.200.77', password);
    const serial = (await call(moved, 'getDeviceInformation')).serialNumber;
    if (serial !== targetSerial) fail(`192.168.200.77 is ${serial}, not ${targetSerial}`);
    const gateway = await call(moved, 'getNetworkDefaultGateway');
    if (gateway.IPv4Address !== '192.168.200.1') fail('gateway ' + JSON.stringify(gateway));
    console.log('found again at 192.168.200.77, gateway 192.168.200.1: passed');
    passed = true;
    process.exit(0);
})().catch((error) => fail(String(error && error.stack || error)));
