#!/usr/bin/python3
"""A real FTP server from Debian (pyftpdlib) for the interop tests and the
benchmark: user root with the given password, the given directory as its
home, on port 21 of every address of the namespace it runs in. Prints
"ready" once it listens.

usage: ftp_server.py DIRECTORY PASSWORD
"""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.log import config_logging
from pyftpdlib.servers import FTPServer

directory, password = sys.argv[1], sys.argv[2]
authorizer = DummyAuthorizer()
authorizer.add_user("root", password, directory, perm="elradfmw")
FTPHandler.authorizer = authorizer
# The server's own delay before it refuses a wrong password (3 s) is left
# as it ships: the client must wait for a late refusal.
config_logging(level=40)
server = FTPServer(("0.0.0.0", 21), FTPHandler)
print("ready", flush=True)
server.serve_forever()
