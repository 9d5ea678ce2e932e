#!/usr/bin/python3
# Records request/reply pairs from a NUT server into the reference file the protocol tests replay:
#   record-upsd.py PORT OUT.txt
# The reference server: Debian's nut-server with
#   ups.conf:    [ref] driver = dummy-ups, port = ref.dev (ups.status: OL, ups.mfr: Test, ...),
#                desc = "Reference UPS"
#   upsd.users:  [admin] password = adminpw, actions = SET FSD, instcmds = ALL
#                [mon] password = monpw, upsmon primary
#                [sec] password = secpw, upsmon secondary
#   upsd.conf:   LISTEN 127.0.0.1 PORT
# started as NUT_CONFPATH=DIR NUT_STATEPATH=DIR/state /lib/nut/dummy-ups -a ref; /lib/nut/upsd.
import socket, sys
port = int(sys.argv[1]); out = open(sys.argv[2], 'w')
LONG = 'x' * 300
sessions = {
 'anonymous': ['VER', 'NETVER', 'PROTVER', 'PRIMARY ref', 'MASTER ref', 'FSD ref', 'LOGIN ref',
               'LIST CLIENT ref', 'LIST CLIENT nosuch', 'GET TRACKING', 'GET TRACKING 0123-bad',
               'SET TRACKING ON', 'INSTCMD ref beeper.mute', 'SET VAR ref ups.delay.shutdown 30',
               'LIST UPS', 'LIST VAR nosuch', 'GET VAR ref nosuch.var', 'GET CMDDESC ref nosuch.cmd',
               'GET UPSDESC ref', 'GET NUMLOGINS ref', 'GET DESC ref ups.status', 'GET TYPE ref ups.status',
               'FOO', 'LIST', 'GET', 'LIST CMD nosuch', 'USERNAME ' + LONG, 'PASSWORD ' + LONG,
               'USERNAME a', 'USERNAME b', 'PRIMARY ref', 'FSD ref', 'LOGIN ref'],
 'admin': ['USERNAME admin', 'PASSWORD adminpw', 'PRIMARY ref', 'MASTER ref', 'LOGIN ref', 'GET NUMLOGINS ref',
           'LIST CLIENT ref', 'SET TRACKING ON', 'GET TRACKING', 'GET TRACKING 0123-bad'],
 'wrong-password': ['USERNAME admin', 'PASSWORD nope', 'LOGIN ref', 'PRIMARY ref', 'FSD ref'],
 'unknown-user': ['USERNAME nobody', 'PASSWORD nope', 'LOGIN ref', 'PRIMARY ref'],
 'secondary': ['USERNAME sec', 'PASSWORD secpw', 'PRIMARY ref', 'MASTER ref', 'FSD ref', 'LOGIN ref', 'LOGIN ref',
               'GET NUMLOGINS ref', 'LIST CLIENT ref'],
 'username-only': ['USERNAME mon', 'PRIMARY ref', 'MASTER ref', 'FSD ref', 'LOGIN ref', 'INSTCMD ref beeper.mute',
                   'SET TRACKING ON', 'SET VAR ref ups.mfr x'],
 'password-only': ['PASSWORD monpw', 'PRIMARY ref', 'LOGIN ref'],
 'admin-set': ['USERNAME admin', 'PASSWORD adminpw', 'SET VAR ref ups.mfr ' + 'y' * 40, 'SET VAR ref nosuch.var 1',
               'INSTCMD ref nosuch.cmd', 'SET VAR ref ups.mfr'],
 'primary': ['USERNAME mon', 'PASSWORD monpw', 'LOGIN nosuch', 'LOGIN ref', 'PRIMARY ref', 'MASTER ref',
             'GET NUMLOGINS ref', 'LIST CLIENT ref', 'LOGOUT'],
 # Last: upsd keeps a forced shutdown until it is restarted.
 'forced-shutdown': ['USERNAME mon', 'PASSWORD monpw', 'LOGIN ref', 'PRIMARY ref', 'GET VAR ref ups.status',
                     'FSD ref', 'GET VAR ref ups.status', 'FSD ref'],
 'after-forced-shutdown': ['GET VAR ref ups.status', 'USERNAME sec', 'PASSWORD secpw', 'LOGIN ref', 'FSD ref',
                           'GET VAR ref ups.status'],
}
for name, lines in sessions.items():
    s = socket.create_connection(('127.0.0.1', port)); f = s.makefile('rb')
    out.write('# session %s\n' % name)
    for line in lines:
        s.sendall(line.encode() + b'\n')
        out.write('> %s\n' % line)
        first = f.readline().decode().rstrip('\n')
        out.write('< %s\n' % first)
        if first.startswith('BEGIN LIST'):
            while True:
                l = f.readline().decode().rstrip('\n'); out.write('< %s\n' % l)
                if l.startswith('END LIST'): break
        if line == 'LOGOUT': break
    s.close()
