// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
// The devices of the network as a widely used ONVIF client lists them: its own probe
// (it waits its whole timeout, and asks for video transmitters only), then each
// device's information and interfaces, a bounded number of devices at a time.
//   node onvif-list.js PROBE-TIMEOUT-MS [DEVICES-AT-ONCE]
'use strict';
const onvif = require('onvif');
const { promisify } = require('util');

const timeout = Number(process.argv[2] || 3000);
const atOnce = Number(process.argv[3] || 32);
const started = Date.now();

onvif.Discovery.probe({ device: 'lo', timeout, resolve: false, bufferSize: 8 << 20 }, async (errors, found) => {
    const hosts = [...new Set((found || []).map((match) => {
        const xaddrs = match.probeMatches.probeMatch.XAddrs;
        return new URL(String(xaddrs).split(' ')[0]).hostname;
    }))];
    const probed = Date.now() - started;
    let read = 0;
    let failed = 0;
    const queue = hosts.slice();
    const worker = async () => {
        for (let host = queue.shift(); host !== undefined; host = queue.shift()) {
            try {
                const cam = new onvif.Cam({ hostname: host, username: 'admin', password: 'admin', autoconnect: false });
                await promisify(cam.connect).call(cam);
                await promisify(cam.getDeviceInformation).call(cam);
                await promisify(cam.getNetworkInterfaces).call(cam);
                ++read;
            } catch (error) {
                ++failed;
            }
        }
    };
    await Promise.all(Array.from({ length: atOnce }, worker));
    console.log(`onvif-list: ${hosts.length} found after ${probed} ms, ${read} read (${failed} failed) after ${Date.now() - started} ms`);
    process.exit(0);
});
