"""A handler for Debian's aiosmtpd that saves every mail it accepts, for the mail tests.

Each mail becomes one file in the folder given on the command line: the envelope sender on the first
line, the recipients (separated by blanks) on the second, then the data exactly as the server took it.
A file appears only once it is complete.
"""

import os


class SaveMail:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    @classmethod
    def from_cli(cls, parser, *args):
        if len(args) != 1:
            parser.error("SaveMail needs the folder to save the mails in")
        return cls(args[0])

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        name = os.path.join(self.folder, "%04d.mail" % self.count)
        head = "%s\n%s\n" % (envelope.mail_from, " ".join(envelope.rcpt_tos))
        with open(name + ".part", "wb") as saved:
            saved.write(head.encode("utf-8") + envelope.original_content)
        os.replace(name + ".part", name)
        return "250 OK"
